# Installs the program the way a desktop finds it, and builds the Debian package:
#
#   bin/varneldh, bin/varneldh-calc
#   share/varneldh/varneldh.qhc and varneldh.qch  (side by side: the collection
#       names its pages by a relative path; the program looks for it under
#       "varneldh/" in the data folders)
#   share/applications/<id>.desktop
#   share/metainfo/<id>.metainfo.xml
#   share/mime/packages/<id>.xml  (the .vdhjob job and .vdhproj project file types)
#   share/icons/hicolor/scalable/apps/<id>.svg and NxN PNGs
#
# where <id> is VARNELDH_APP_ID (the top-level CMakeLists.txt). The menu entry and
# the metadata are written from resources/desktop/*.in with that id and the
# project's version.
#
# `cmake --build build/release --target package` (or `cpack -G DEB` in the build
# folder) makes varneldh_<version>_<arch>.deb.

include(GNUInstallDirs)

set(_varneldh_desktop_dir ${CMAKE_BINARY_DIR}/desktop)
set(_varneldh_icon_svg ${PROJECT_SOURCE_DIR}/resources/images/app-icon.svg)
configure_file(${PROJECT_SOURCE_DIR}/resources/desktop/varneldh.desktop.in
               ${_varneldh_desktop_dir}/${VARNELDH_APP_ID}.desktop @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/desktop/varneldh.metainfo.xml.in
               ${_varneldh_desktop_dir}/${VARNELDH_APP_ID}.metainfo.xml @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/desktop/varneldh.mime.xml.in
               ${_varneldh_desktop_dir}/${VARNELDH_APP_ID}.mime.xml @ONLY)

install(TARGETS varneldh varneldh-calc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Where cmake/Help.cmake builds the collection. The program looks beside itself
# first, then under "varneldh/" in the data folders; on Windows and macOS those
# folders are not under the install prefix, so it goes beside it.
if(WIN32 OR APPLE)
    set(_varneldh_help_destination ${CMAKE_INSTALL_BINDIR})
else()
    set(_varneldh_help_destination ${CMAKE_INSTALL_DATADIR}/varneldh)
endif()
install(FILES ${CMAKE_BINARY_DIR}/bin/varneldh.qhc ${CMAKE_BINARY_DIR}/bin/varneldh.qch
        DESTINATION ${_varneldh_help_destination})

# The freedesktop.org menu entry, metadata and icon theme.
if(UNIX AND NOT APPLE)
    install(FILES ${_varneldh_desktop_dir}/${VARNELDH_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${_varneldh_desktop_dir}/${VARNELDH_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${_varneldh_desktop_dir}/${VARNELDH_APP_ID}.mime.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
            RENAME ${VARNELDH_APP_ID}.xml)
    install(FILES ${_varneldh_icon_svg}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
            RENAME ${VARNELDH_APP_ID}.svg)

    # Menus and docks of some desktops ask for a fixed size and take a PNG
    # before the SVG; rendered here so that the sizes never drift from the SVG.
    find_package(Qt6 REQUIRED COMPONENTS Gui Svg)
    add_executable(varneldh-svg2png ${PROJECT_SOURCE_DIR}/tools/svg2png.cpp)
    target_link_libraries(varneldh-svg2png PRIVATE Qt6::Gui Qt6::Svg varneldh_warnings)
    # A build tool, kept out of the program's folder.
    set_target_properties(varneldh-svg2png PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

    set(VARNELDH_ICON_SIZES 16 24 32 48 64 128 256)
    set(_varneldh_icon_root ${CMAKE_BINARY_DIR}/icons/hicolor)
    set(_varneldh_pngs)
    foreach(size IN LISTS VARNELDH_ICON_SIZES)
        set(_dir ${_varneldh_icon_root}/${size}x${size}/apps)
        set(_png ${_dir}/${VARNELDH_APP_ID}.png)
        add_custom_command(
            OUTPUT ${_png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
            COMMAND varneldh-svg2png ${_varneldh_icon_svg} ${size} ${_png}
            DEPENDS varneldh-svg2png ${_varneldh_icon_svg}
            COMMENT "Rendering the ${size}x${size} icon"
            VERBATIM)
        list(APPEND _varneldh_pngs ${_png})
        install(FILES ${_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(varneldh_icons ALL DEPENDS ${_varneldh_pngs})
endif()

# What Debian asks of every package: the copyright, the changelog, and a manual
# page for each program, compressed as dpkg's own tools do (gzip -9n: no name,
# no time stamp). varneldh-calc's page is made from its --help by help2man at
# build time, so it lists what the program does.
if(UNIX AND NOT APPLE)
    find_program(VARNELDH_GZIP gzip REQUIRED)
    find_program(VARNELDH_HELP2MAN help2man)
    set(_varneldh_doc_dir ${CMAKE_BINARY_DIR}/doc)
    set(_varneldh_docs ${_varneldh_doc_dir}/changelog.Debian.gz ${_varneldh_doc_dir}/varneldh.1.gz)
    add_custom_command(
        OUTPUT ${_varneldh_doc_dir}/changelog.Debian.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_varneldh_doc_dir}
        COMMAND ${VARNELDH_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/resources/debian/changelog
                > ${_varneldh_doc_dir}/changelog.Debian.gz
        DEPENDS ${PROJECT_SOURCE_DIR}/resources/debian/changelog
        COMMENT "Compressing the Debian changelog")
    add_custom_command(
        OUTPUT ${_varneldh_doc_dir}/varneldh.1.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_varneldh_doc_dir}
        COMMAND ${VARNELDH_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/resources/man/varneldh.1
                > ${_varneldh_doc_dir}/varneldh.1.gz
        DEPENDS ${PROJECT_SOURCE_DIR}/resources/man/varneldh.1
        COMMENT "Compressing the manual page of varneldh")
    if(VARNELDH_HELP2MAN)
        add_custom_command(
            OUTPUT ${_varneldh_doc_dir}/varneldh-calc.1.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${_varneldh_doc_dir}
            COMMAND ${VARNELDH_HELP2MAN} --no-info --section=1
                    "--name=size dehumidifier units from the command line"
                    --output=${_varneldh_doc_dir}/varneldh-calc.1 $<TARGET_FILE:varneldh-calc>
            COMMAND ${VARNELDH_GZIP} -9n -f ${_varneldh_doc_dir}/varneldh-calc.1
            DEPENDS varneldh-calc
            COMMENT "Writing the manual page of varneldh-calc from its --help"
            VERBATIM)
        list(APPEND _varneldh_docs ${_varneldh_doc_dir}/varneldh-calc.1.gz)
        install(FILES ${_varneldh_doc_dir}/varneldh-calc.1.gz
                DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    else()
        message(STATUS "help2man not found: varneldh-calc gets no manual page")
    endif()
    add_custom_target(varneldh_docs ALL DEPENDS ${_varneldh_docs})
    install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright
                  ${_varneldh_doc_dir}/changelog.Debian.gz
            DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES ${_varneldh_doc_dir}/varneldh.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME varneldh)
endif()

if(VARNELDH_BUILD_TESTS AND UNIX AND NOT APPLE)
    find_program(VARNELDH_DESKTOP_FILE_VALIDATE desktop-file-validate)
    find_program(VARNELDH_APPSTREAMCLI appstreamcli)
    if(VARNELDH_DESKTOP_FILE_VALIDATE)
        add_test(NAME desktop_file_valid
                 COMMAND ${VARNELDH_DESKTOP_FILE_VALIDATE}
                         ${_varneldh_desktop_dir}/${VARNELDH_APP_ID}.desktop)
        # Hints are advice; warnings and errors are faults.
        set_tests_properties(desktop_file_valid PROPERTIES
            FAIL_REGULAR_EXPRESSION "warning:;error:")
    else()
        message(STATUS "desktop-file-validate not found: the desktop entry is not checked")
    endif()
    if(VARNELDH_APPSTREAMCLI)
        add_test(NAME metainfo_valid
                 COMMAND ${VARNELDH_APPSTREAMCLI} validate --no-net --explain
                         ${_varneldh_desktop_dir}/${VARNELDH_APP_ID}.metainfo.xml)
    else()
        message(STATUS "appstreamcli not found: the AppStream metadata is not checked")
    endif()
    # The package as a Debian maintainer would check it: built with CPack from
    # this build, then lintian, failing on any error or warning.
    find_program(VARNELDH_LINTIAN lintian)
    if(VARNELDH_LINTIAN)
        add_test(NAME package_lintian
                 COMMAND ${CMAKE_COMMAND}
                         -DBUILD_DIR=${CMAKE_BINARY_DIR}
                         -DOUT_DIR=${CMAKE_BINARY_DIR}/package-check
                         -DCPACK=${CMAKE_CPACK_COMMAND}
                         -DLINTIAN=${VARNELDH_LINTIAN}
                         -DCHANGELOG=${PROJECT_SOURCE_DIR}/resources/debian/changelog
                         -DVERSION=${PROJECT_VERSION}-1
                         -P ${PROJECT_SOURCE_DIR}/cmake/LintPackage.cmake)
        set_tests_properties(package_lintian PROPERTIES TIMEOUT 600 LABELS package)
    else()
        message(STATUS "lintian not found: the Debian package is not checked")
    endif()
    add_test(NAME packaging_metadata
             COMMAND ${CMAKE_COMMAND}
                     -DVERSION=${PROJECT_VERSION}
                     -DAPP_ID=${VARNELDH_APP_ID}
                     -DDESKTOP_DIR=${_varneldh_desktop_dir}
                     -DICON_ROOT=${_varneldh_icon_root}
                     "-DICON_SIZES=${VARNELDH_ICON_SIZES}"
                     -P ${PROJECT_SOURCE_DIR}/cmake/CheckPackagingMetadata.cmake)
endif()

# The Debian package.
set(CPACK_PACKAGE_NAME varneldh)
set(CPACK_PACKAGE_VENDOR "Varnel")
set(CPACK_PACKAGE_CONTACT "Varnel DH packaging <packaging@varnel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Dehumidifier unit selection calculator")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The package's own revision; resources/debian/changelog's newest entry names it.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_STRIP_FILES ON)
if(UNIX AND NOT APPLE)
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.example.com/varneldh")
# Below the summary line; CPack indents it for the control file.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tells HVAC engineers how many dehumidifier units of the HX series (sizes 100,
160 and 200) hold a building zone or a swimming-pool hall at a wanted air
temperature and relative humidity. Includes the desktop program varneldh and
the command-line calculator varneldh-calc.")
# The libraries the programs link come from dpkg-shlibdeps; these are loaded at
# run time instead: the window system plugins, the SVG picture and icon plugins,
# the help viewer's database driver and a font for the captions.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6svg6, libqt6help6, libqt6sql6-sqlite, fonts-dejavu-core")

include(CPack)
