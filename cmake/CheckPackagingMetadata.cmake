# Checks that the desktop files agree with each other and with the build:
# one application id throughout, the job file type the same in the desktop entry,
# the metadata and the MIME package, the metadata's newest release is the
# project's version, and every rendered icon is a PNG of its folder's size.
#
#   cmake -DVERSION=.. -DAPP_ID=.. -DDESKTOP_DIR=.. -DICON_ROOT=.. -DICON_SIZES=".."
#         -P CheckPackagingMetadata.cmake

set(_faults)
macro(fault text)
    list(APPEND _faults "${text}")
endmacro()

file(READ ${DESKTOP_DIR}/${APP_ID}.desktop _desktop)
file(READ ${DESKTOP_DIR}/${APP_ID}.metainfo.xml _meta)
file(READ ${DESKTOP_DIR}/${APP_ID}.mime.xml _mime)

if(NOT _desktop MATCHES "\nIcon=${APP_ID}\n")
    fault("the desktop entry's Icon is not ${APP_ID}")
endif()
if(NOT _desktop MATCHES "\nExec=varneldh %f\n")
    fault("the desktop entry does not start varneldh with the file opened")
endif()
set(_job_type "application/x-varneldh-job")
if(NOT _desktop MATCHES "\nMimeType=${_job_type};\n")
    fault("the desktop entry does not open ${_job_type}")
endif()
if(NOT _meta MATCHES "<mediatype>${_job_type}</mediatype>")
    fault("the metadata does not provide ${_job_type}")
endif()
if(NOT _mime MATCHES "<mime-type type=\"${_job_type}\">" OR
   NOT _mime MATCHES "<glob pattern=\"\\*\\.vdhjob\"/>")
    fault("the MIME package does not give ${_job_type} to *.vdhjob")
endif()
if(NOT _meta MATCHES "<id>${APP_ID}</id>")
    fault("the metadata's id is not ${APP_ID}")
endif()
if(NOT _meta MATCHES "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>")
    fault("the metadata does not launch ${APP_ID}.desktop")
endif()
# Releases are listed newest first.
if(_meta MATCHES "<release version=\"([^\"]+)\"")
    if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
        fault("the metadata's newest release is ${CMAKE_MATCH_1}, the project is ${VERSION}")
    endif()
else()
    fault("the metadata lists no release")
endif()

foreach(size IN LISTS ICON_SIZES)
    set(_png ${ICON_ROOT}/${size}x${size}/apps/${APP_ID}.png)
    if(NOT EXISTS ${_png})
        fault("${_png} is missing")
        continue()
    endif()
    # The signature, then the IHDR chunk whose first fields are width and height.
    file(READ ${_png} _head HEX LIMIT 24)
    string(SUBSTRING "${_head}" 0 16 _signature)
    string(SUBSTRING "${_head}" 24 8 _chunk)
    string(SUBSTRING "${_head}" 32 8 _width)
    string(SUBSTRING "${_head}" 40 8 _height)
    if(NOT _signature STREQUAL "89504e470d0a1a0a" OR NOT _chunk STREQUAL "49484452")
        fault("${_png} is not a PNG picture")
        continue()
    endif()
    math(EXPR _w "0x${_width}")
    math(EXPR _h "0x${_height}")
    if(NOT _w EQUAL size OR NOT _h EQUAL size)
        fault("${_png} is ${_w}x${_h}, not ${size}x${size}")
    endif()
endforeach()

if(_faults)
    list(JOIN _faults "\n  " _text)
    message(FATAL_ERROR "Packaging metadata:\n  ${_text}")
endif()
message(STATUS "Packaging metadata: ${APP_ID} ${VERSION}, icons ${ICON_SIZES}")
