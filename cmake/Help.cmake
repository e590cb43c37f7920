# Builds the help collection into the program's folder: varneldh.qhc (what the
# help window opens) and varneldh.qch (the pages it registers, by a path relative
# to the collection, so both must stay side by side).
#
# qhelpgenerator writes the .qch next to the project files it reads, so it works
# on a copy of resources/help inside the build tree and the sources stay clean.

set(VARNELDH_HELP_SOURCE_DIR ${PROJECT_SOURCE_DIR}/resources/help)
set(VARNELDH_HELP_OUTPUT_DIR ${CMAKE_BINARY_DIR}/bin)
set(VARNELDH_HELP_COLLECTION ${VARNELDH_HELP_OUTPUT_DIR}/varneldh.qhc)

file(GLOB _varneldh_help_sources CONFIGURE_DEPENDS ${VARNELDH_HELP_SOURCE_DIR}/*)
set(_varneldh_help_stage ${CMAKE_BINARY_DIR}/help-stage)

add_custom_command(
    OUTPUT ${VARNELDH_HELP_COLLECTION} ${VARNELDH_HELP_OUTPUT_DIR}/varneldh.qch
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${_varneldh_help_stage}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${VARNELDH_HELP_SOURCE_DIR} ${_varneldh_help_stage}
    COMMAND Qt6::qhelpgenerator ${_varneldh_help_stage}/varneldh.qhcp -c -s
            -o ${_varneldh_help_stage}/varneldh.qhc
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VARNELDH_HELP_OUTPUT_DIR}
    # Left by earlier versions, which kept the search index beside the program.
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${VARNELDH_HELP_OUTPUT_DIR}/.varneldh
    COMMAND ${CMAKE_COMMAND} -E copy ${_varneldh_help_stage}/varneldh.qhc
            ${_varneldh_help_stage}/varneldh.qch ${VARNELDH_HELP_OUTPUT_DIR}
    DEPENDS ${_varneldh_help_sources}
    COMMENT "Generating the help collection varneldh.qhc"
    VERBATIM)

add_custom_target(varneldh_help
    DEPENDS ${VARNELDH_HELP_COLLECTION} ${VARNELDH_HELP_OUTPUT_DIR}/varneldh.qch)
