# Fails unless the locale LOCALE is installed. Without it the C library quietly
# stays with "C", and a run under that locale would prove nothing.
#
#   cmake -DLOCALE=de_DE.UTF-8 -P CheckLocale.cmake

execute_process(COMMAND locale -a OUTPUT_VARIABLE installed RESULT_VARIABLE status)
# locale -a spells UTF-8 as utf8.
string(TOLOWER "${LOCALE}" wanted)
string(REPLACE "utf-8" "utf-?8" wanted "${wanted}")
string(REPLACE "." "\\." wanted "${wanted}")
string(TOLOWER "${installed}" installed)
if(NOT status EQUAL 0 OR NOT "\n${installed}" MATCHES "\n${wanted}\n")
    message(FATAL_ERROR "the ${LOCALE} locale is missing: run scripts/setup.sh")
endif()
message(STATUS "${LOCALE} is installed")
