# VARNELDH_SANITIZE=ON builds every target with AddressSanitizer and
# UndefinedBehaviorSanitizer (the asan preset). The runtime options, leak checks
# included, are compiled into each program rather than set in the environment, so
# that a test, a program a test starts and a program started by hand all run
# under the same checks. ASAN_OPTIONS and friends still override them.
option(VARNELDH_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer, leaks reported" OFF)
if(NOT VARNELDH_SANITIZE)
    return()
endif()
if(VARNELDH_FUZZ)
    message(FATAL_ERROR "VARNELDH_FUZZ instruments the engine itself; leave VARNELDH_SANITIZE off")
endif()

add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined)

# Leaks inside system libraries are suppressed by name in lsan.supp; ours never are.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/lsan.supp _varneldh_lsan_lines REGEX "^[^#]")
list(JOIN _varneldh_lsan_lines "\n" VARNELDH_LSAN_SUPPRESSIONS)
set(_varneldh_sanitizer_options ${CMAKE_BINARY_DIR}/SanitizerOptions.cpp)
configure_file(${CMAKE_CURRENT_LIST_DIR}/SanitizerOptions.cpp.in ${_varneldh_sanitizer_options} @ONLY)

# Every program gets the options; a library does not need them.
add_library(varneldh_sanitizer_options INTERFACE)
target_sources(varneldh_sanitizer_options INTERFACE
    "$<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:${_varneldh_sanitizer_options}>")
link_libraries(varneldh_sanitizer_options)
