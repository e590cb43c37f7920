# Installs the build into a staging folder as the package would (prefix /usr),
# then checks what a desktop and a user meet there: the files in their places,
# the command-line calculator running from the install, and the program's help
# lookup finding the installed collection through the data folders alone.
#
#   cmake -DBUILD_DIR=.. -DSTAGE=.. -DPROBE=.. -DAPP_ID=.. "-DICON_SIZES=.."
#         -P InstalledLayout.cmake

file(REMOVE_RECURSE ${STAGE})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE}
            ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the staged install failed:\n${out}")
endif()

set(root ${STAGE}/usr)
set(expected
    bin/varneldh
    bin/varneldh-calc
    share/varneldh/varneldh.qhc
    share/varneldh/varneldh.qch
    share/applications/${APP_ID}.desktop
    share/metainfo/${APP_ID}.metainfo.xml
    share/mime/packages/${APP_ID}.xml
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/doc/varneldh/copyright
    share/doc/varneldh/changelog.Debian.gz
    share/man/man1/varneldh.1.gz
    share/man/man1/varneldh-calc.1.gz)
foreach(size IN LISTS ICON_SIZES)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()
set(missing)
foreach(file IN LISTS expected)
    if(NOT EXISTS ${root}/${file})
        list(APPEND missing ${file})
    endif()
endforeach()
if(missing)
    file(GLOB_RECURSE present RELATIVE ${root} ${root}/*)
    list(JOIN missing "\n  " missing)
    list(JOIN present "\n  " present)
    message(FATAL_ERROR "not installed:\n  ${missing}\ninstalled:\n  ${present}")
endif()

# A file manager finds the job and project file types once the MIME database is rebuilt, as
# the package's trigger does.
find_program(UPDATE_MIME_DATABASE update-mime-database)
if(UPDATE_MIME_DATABASE)
    execute_process(COMMAND ${UPDATE_MIME_DATABASE} ${root}/share/mime
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    set(globs)
    if(status EQUAL 0)
        file(READ ${root}/share/mime/globs2 globs)
    endif()
    foreach(pair "job:vdhjob" "project:vdhproj")
        string(REPLACE ":" ";" pair "${pair}")
        list(GET pair 0 kind)
        list(GET pair 1 suffix)
        if(NOT globs MATCHES ":application/x-varneldh-${kind}:\\*\\.${suffix}\n")
            message(FATAL_ERROR "the MIME package does not give *.${suffix} its type:\n${out}")
        endif()
    endforeach()
endif()

execute_process(COMMAND ${root}/bin/varneldh-calc zone
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "\noutcome: Completed\n")
    message(FATAL_ERROR "the installed varneldh-calc zone gave ${status}:\n${out}${err}")
endif()

# Nothing of the build tree or the user's own folders may stand in for the install.
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=VARNELDH_HELP_COLLECTION
            QT_QPA_PLATFORM=offscreen
            XDG_DATA_DIRS=${root}/share
            XDG_DATA_HOME=${STAGE}/home/data
            XDG_CACHE_HOME=${STAGE}/home/cache
            ${PROBE}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "${out}")
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the help window did not open the installed collection:\n${out}${err}")
endif()
if(NOT out MATCHES "collection: ${root}/share/varneldh/varneldh.qhc\n")
    message(FATAL_ERROR "the help lookup did not choose the installed collection:\n${out}")
endif()
file(REMOVE_RECURSE ${STAGE})
