# Builds the Debian package from a finished build and runs lintian on it; any
# error or warning fails. The changelog's newest entry must be the package's
# version, which lintian cannot know to check.
#
#   cmake -DBUILD_DIR=.. -DOUT_DIR=.. -DCPACK=.. -DLINTIAN=.. -DCHANGELOG=.. -DVERSION=..
#         -P LintPackage.cmake

file(STRINGS ${CHANGELOG} _first LIMIT_COUNT 1)
if(NOT _first MATCHES "^varneldh \\(([^)]+)\\)")
    message(FATAL_ERROR "${CHANGELOG} does not start with a varneldh entry: ${_first}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    message(FATAL_ERROR "the newest changelog entry is ${CMAKE_MATCH_1}, the package ${VERSION}")
endif()

file(REMOVE_RECURSE ${OUT_DIR})
execute_process(
    COMMAND ${CPACK} -G DEB -B ${OUT_DIR} --config ${BUILD_DIR}/CPackConfig.cmake
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cpack failed:\n${out}")
endif()
file(GLOB debs ${OUT_DIR}/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "cpack made ${count} packages in ${OUT_DIR}:\n${out}")
endif()

execute_process(
    COMMAND ${LINTIAN} --fail-on error,warning --display-info ${debs}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "lintian ${debs}:\n${out}${err}")
if(NOT status EQUAL 0)
    message(FATAL_ERROR "lintian found errors or warnings (exit ${status})")
endif()
file(REMOVE_RECURSE ${OUT_DIR})
