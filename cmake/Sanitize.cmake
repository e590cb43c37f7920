# VARNELDH_SANITIZE=ON builds every target with AddressSanitizer and
# UndefinedBehaviorSanitizer (the asan preset); VARNELDH_SANITIZE_THREAD=ON with
# ThreadSanitizer (the tsan preset). The runtime options, leak checks included,
# are compiled into each program rather than set in the environment, so that a
# test, a program a test starts and a program started by hand all run under the
# same checks. ASAN_OPTIONS, TSAN_OPTIONS and friends still override them.
option(VARNELDH_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer, leaks reported" OFF)
option(VARNELDH_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
if(NOT VARNELDH_SANITIZE AND NOT VARNELDH_SANITIZE_THREAD)
    return()
endif()
if(VARNELDH_FUZZ)
    message(FATAL_ERROR "VARNELDH_FUZZ instruments the engine itself; leave the sanitizers off")
endif()
if(VARNELDH_SANITIZE AND VARNELDH_SANITIZE_THREAD)
    message(FATAL_ERROR "ThreadSanitizer cannot share a program with AddressSanitizer; pick one")
endif()

if(VARNELDH_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)

    # Leaks inside system libraries are suppressed by name in lsan.supp; ours never are.
    file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/lsan.supp _varneldh_lsan_lines REGEX "^[^#]")
    list(JOIN _varneldh_lsan_lines "\n" VARNELDH_LSAN_SUPPRESSIONS)
    set(_varneldh_sanitizer_options ${CMAKE_BINARY_DIR}/SanitizerOptions.cpp)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/SanitizerOptions.cpp.in ${_varneldh_sanitizer_options} @ONLY)
else()
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
    set(_varneldh_sanitizer_options ${CMAKE_BINARY_DIR}/TsanOptions.cpp)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/TsanOptions.cpp.in ${_varneldh_sanitizer_options} @ONLY)
endif()

# Every program gets the options; a library does not need them.
add_library(varneldh_sanitizer_options INTERFACE)
target_sources(varneldh_sanitizer_options INTERFACE
    "$<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:${_varneldh_sanitizer_options}>")
link_libraries(varneldh_sanitizer_options)
