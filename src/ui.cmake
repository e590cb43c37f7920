# The screens: a Qt library on top of the engine, with the pictures compiled in and
# the help collection built beside the program.
find_package(Qt6 REQUIRED COMPONENTS Widgets Help Svg ToolsTools)

include(${PROJECT_SOURCE_DIR}/cmake/Help.cmake)

add_library(varneldh_ui STATIC
    common/Accessibility.cpp
    common/Accessibility.h
    common/MessageBox.cpp
    common/MessageBox.h
    shell/frmAbout.cpp
    shell/frmAbout.h
    shell/frmAbout.ui
    shell/HelpWindow.cpp
    shell/HelpWindow.h
    shell/Misc.cpp
    shell/Misc.h
    shell/PictureButton.cpp
    shell/PictureButton.h
    shell/Resources.cpp
    shell/Resources.h
    shell/ScreenFont.cpp
    shell/ScreenFont.h
    shell/SysInfo.cpp
    shell/SysInfo.h
    ${PROJECT_SOURCE_DIR}/resources/varneldh.qrc
)
set_target_properties(varneldh_ui PROPERTIES AUTOMOC ON AUTOUIC ON AUTORCC ON)
target_include_directories(varneldh_ui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(varneldh_ui
    PUBLIC varneldh_core Qt6::Widgets Qt6::Help Qt6::Svg
    PRIVATE varneldh_warnings)
add_dependencies(varneldh_ui varneldh_help)
