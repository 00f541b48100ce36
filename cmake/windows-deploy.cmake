# The deployable folder for Windows: `cmake --install <build> --prefix <folder>`
# (or the target `deploy`, which fills <build>/deploy) lays out the programs (and
# the command-line tool velko-options.exe) with
# everything a Windows machine without Qt needs: Qt's DLLs and the MinGW runtime,
# the platform, image-format, style and multimedia plugins, the QML modules that
# the pages import, and the font. The translation is compiled into the
# configurator. The target `installer` packs that folder with NSIS.

get_filename_component(VELKO_QT_ROOT "${Qt5_DIR}/../../.." ABSOLUTE)

# Plugin folders (or single plugins) below <Qt>/plugins that the programs load.
set(VELKO_DEPLOY_PLUGINS
    platforms/qwindows.dll
    styles
    imageformats
    iconengines
    audio
    mediaservice
    playlistformats)

# QML modules are collected from the imports of every document in these folders.
set(VELKO_DEPLOY_QML_ROOTS ${CMAKE_SOURCE_DIR}/configurator/pages)
# The modules that the configurator registers itself (not deployed), with the
# modules below them (Account: Account.Manager, Account.Pages).
set(VELKO_OWN_QML_MODULES Model.QX Account Operate.Conf an.utility)
# Modules that only the Quick Controls styles the pages do not use import (Imagine
# uses QtGraphicalEffects): not deployed, and their absence is no error.
set(VELKO_UNUSED_STYLE_QML_MODULES QtGraphicalEffects)

install(TARGETS VelkoOptions VelkoOptionsGUI velko-options RUNTIME DESTINATION .)
install(TARGETS VelkoOptionsSound LIBRARY DESTINATION .)
install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/font DESTINATION .)
install(CODE "
    set(VELKO_QT_ROOT \"${VELKO_QT_ROOT}\")
    set(VELKO_DEPLOY_PLUGINS \"${VELKO_DEPLOY_PLUGINS}\")
    set(VELKO_DEPLOY_QML_ROOTS \"${VELKO_DEPLOY_QML_ROOTS}\")
    set(VELKO_OWN_QML_MODULES \"${VELKO_OWN_QML_MODULES}\")
    set(VELKO_UNUSED_STYLE_QML_MODULES \"${VELKO_UNUSED_STYLE_QML_MODULES}\")
    set(VELKO_DEPLOY_EXECUTABLES \"$<TARGET_FILE:VelkoOptions>;$<TARGET_FILE:VelkoOptionsGUI>;$<TARGET_FILE:velko-options>;$<TARGET_FILE:VelkoOptionsSound>\")
    set(VELKO_OBJDUMP \"${CMAKE_OBJDUMP}\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/windows-deploy-step.cmake)

set(VELKO_DEPLOY_DIR ${CMAKE_BINARY_DIR}/deploy)
add_custom_target(deploy
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${VELKO_DEPLOY_DIR}
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${VELKO_DEPLOY_DIR}
    DEPENDS VelkoOptions VelkoOptionsGUI velko-options VelkoOptionsSound
    COMMENT "Laying out the deployable folder in ${VELKO_DEPLOY_DIR}"
    VERBATIM)

find_program(VELKO_MAKENSIS makensis)
if(VELKO_MAKENSIS)
    set(VELKO_INSTALLER ${CMAKE_BINARY_DIR}/VelkoOptionsSetup.exe)
    set(VELKO_FILE_LIST ${CMAKE_BINARY_DIR}/installer-files.nsh)
    add_custom_target(installer
        COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${VELKO_DEPLOY_DIR} -DOUTPUT=${VELKO_FILE_LIST}
            -P ${CMAKE_CURRENT_LIST_DIR}/nsis-file-list.cmake
        COMMAND ${VELKO_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSOURCE_DIR=${VELKO_DEPLOY_DIR}
            -DFILE_LIST=${VELKO_FILE_LIST} -DOUT_FILE=${VELKO_INSTALLER}
            -DICON=${CMAKE_SOURCE_DIR}/configurator/pages/images/app.ico
            ${CMAKE_SOURCE_DIR}/installer/VelkoOptions.nsi
        DEPENDS deploy ${CMAKE_SOURCE_DIR}/installer/VelkoOptions.nsi
        COMMENT "Building ${VELKO_INSTALLER}"
        VERBATIM)
else()
    message(STATUS "makensis not found (Debian: nsis): no target installer")
endif()
