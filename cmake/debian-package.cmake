# The Debian packages, built with CPack: `cmake --build <build> --target deb`
# writes them to <build>/packages.
#   velko-options         both programs in /usr/lib/velko-options (called through
#                         /usr/bin), the desktop entry, icons, AppStream metainfo,
#                         the log-in start, the receiver's udev rule and uinput
#   velko-account-server  the server, its systemd unit and its configuration file
# The programs live in a folder of their own because they find the agent and the
# font beside themselves; that folder is not writable, so their settings go to
# the user's configuration folder.

set(VELKO_PKG ${CMAKE_CURRENT_LIST_DIR}/../packaging)
set(VELKO_PKG_OUT ${CMAKE_BINARY_DIR}/deb-staging)
file(MAKE_DIRECTORY ${VELKO_PKG_OUT}/icons ${VELKO_PKG_OUT}/links)

# /usr/bin names the programs in their own folder.
foreach(program VelkoOptions VelkoOptionsGUI)
    file(CREATE_LINK ../lib/velko-options/${program} ${VELKO_PKG_OUT}/links/${program} SYMBOLIC)
endforeach()
# The tool lies beside the programs (the same settings folder) as VelkoOptionsTool:
# CPack's dependency scan reads the font's `file` description, whose "[" swallows
# the entries after it in its list, and a program named in lower case would come
# after the font.
file(CREATE_LINK ../lib/velko-options/VelkoOptionsTool ${VELKO_PKG_OUT}/links/velko-options
    SYMBOLIC)
# The manual pages, compressed as Debian wants them.
file(MAKE_DIRECTORY ${VELKO_PKG_OUT}/man)
foreach(page VelkoOptions VelkoOptionsGUI velko-options velko-account-server)
    configure_file(${VELKO_PKG}/linux/man/${page}.1 ${VELKO_PKG_OUT}/man/${page}.1 COPYONLY)
    execute_process(COMMAND gzip -9nf ${VELKO_PKG_OUT}/man/${page}.1 COMMAND_ERROR_IS_FATAL ANY)
endforeach()
# The application icon's PNG sizes are the pictures of the Windows icon.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
execute_process(COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/ico-to-png.py
    ${PROJECT_SOURCE_DIR}/configurator/pages/images/app.ico ${VELKO_PKG_OUT}/icons
    COMMAND_ERROR_IS_FATAL ANY)
# One changelog per package, compressed without a time stamp.
foreach(package velko-options velko-account-server)
    set(PACKAGE ${package})
    set(VERSION ${PROJECT_VERSION})
    configure_file(${VELKO_PKG}/changelog ${VELKO_PKG_OUT}/${package}/changelog @ONLY)
    execute_process(COMMAND gzip -9nf ${VELKO_PKG_OUT}/${package}/changelog
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# velko-options
set(app lib/velko-options)
install(TARGETS VelkoOptions VelkoOptionsGUI RUNTIME DESTINATION ${app} COMPONENT options)
install(PROGRAMS $<TARGET_FILE:velko-options> DESTINATION ${app} RENAME VelkoOptionsTool
    COMPONENT options)
# Stripped as the programs installed as targets are.
install(CODE "execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${app}/VelkoOptionsTool\" COMMAND_ERROR_IS_FATAL ANY)"
    COMPONENT options)
# The agent loads its sound player from beside itself at the first sound.
install(TARGETS VelkoOptionsSound LIBRARY DESTINATION ${app} COMPONENT options)
install(FILES ${PROJECT_SOURCE_DIR}/configurator/pages/font/WenQuanYi-MicroHei-Subset.ttf
    ${PROJECT_SOURCE_DIR}/configurator/pages/font/WenQuanYi-MicroHei-LICENSE.txt
    DESTINATION ${app}/font PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
    COMPONENT options)
install(FILES ${VELKO_PKG_OUT}/links/VelkoOptions ${VELKO_PKG_OUT}/links/VelkoOptionsGUI
    ${VELKO_PKG_OUT}/links/velko-options DESTINATION bin COMPONENT options)
install(FILES ${VELKO_PKG_OUT}/man/VelkoOptions.1.gz ${VELKO_PKG_OUT}/man/VelkoOptionsGUI.1.gz
    ${VELKO_PKG_OUT}/man/velko-options.1.gz DESTINATION share/man/man1 COMPONENT options)
install(FILES ${VELKO_PKG}/linux/velko-options.bash-completion
    DESTINATION share/bash-completion/completions RENAME velko-options COMPONENT options)
install(FILES ${VELKO_PKG}/linux/com.velko.options.desktop DESTINATION share/applications
    COMPONENT options)
install(FILES ${VELKO_PKG}/linux/velko-options-autostart.desktop
    DESTINATION /etc/xdg/autostart RENAME com.velko.options-autostart.desktop COMPONENT options)
install(FILES ${VELKO_PKG}/linux/com.velko.options.metainfo.xml DESTINATION share/metainfo
    COMPONENT options)
install(FILES ${PROJECT_SOURCE_DIR}/configurator/pages/images/logo.svg
    DESTINATION share/icons/hicolor/scalable/apps RENAME velko-options.svg COMPONENT options)
foreach(size 16 32 48 256)
    install(FILES ${VELKO_PKG_OUT}/icons/${size}.png
        DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME velko-options.png
        COMPONENT options)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/tools/udev/70-velko-receiver.rules
    DESTINATION /lib/udev/rules.d COMPONENT options)
install(FILES ${VELKO_PKG}/linux/velko-uinput.conf DESTINATION lib/modules-load.d
    COMPONENT options)
# The GNOME Shell extension in the form of the Shell this system has (43 and 44:
# Debian 12; 45 and later: Ubuntu 24.04, Fedora); the user enables it.
set(VELKO_GNOME_SHELL_FORM 43)
execute_process(COMMAND gnome-shell --version OUTPUT_VARIABLE shell ERROR_QUIET)
if(shell MATCHES "GNOME Shell ([0-9]+)" AND CMAKE_MATCH_1 GREATER_EQUAL 45)
    set(VELKO_GNOME_SHELL_FORM 45)
endif()
install(DIRECTORY ${VELKO_GNOME_EXTENSIONS}/${VELKO_GNOME_SHELL_FORM}/${VELKO_GNOME_UUID}
    DESTINATION share/gnome-shell/extensions COMPONENT options)
install(FILES ${VELKO_PKG}/copyright ${VELKO_PKG_OUT}/velko-options/changelog.gz
    DESTINATION share/doc/velko-options COMPONENT options)

# velko-account-server
if(TARGET velko-account-server)
    install(TARGETS velko-account-server RUNTIME DESTINATION bin COMPONENT server)
    install(FILES ${VELKO_PKG_OUT}/man/velko-account-server.1.gz DESTINATION share/man/man1
        COMPONENT server)
    install(FILES ${VELKO_PKG}/server/velko-account-server.service
        DESTINATION /lib/systemd/system COMPONENT server)
    install(FILES ${VELKO_PKG}/server/velko-account-server.conf
        DESTINATION /etc/velko-account-server COMPONENT server)
    install(FILES ${VELKO_PKG}/copyright ${VELKO_PKG_OUT}/velko-account-server/changelog.gz
        DESTINATION share/doc/velko-account-server COMPONENT server)
    file(WRITE ${VELKO_PKG_OUT}/velko-account-server/conffiles
        "/etc/velko-account-server/velko-account-server.conf\n")
endif()
file(WRITE ${VELKO_PKG_OUT}/velko-options/conffiles
    "/etc/xdg/autostart/com.velko.options-autostart.desktop\n")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velko-options)
set(CPACK_PACKAGE_VENDOR Velko)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL options)
if(TARGET velko-account-server)
    list(APPEND CPACK_COMPONENTS_ALL server)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velko <support@velko.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://velko.example/options)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_OPTIONS_PACKAGE_NAME velko-options)
set(CPACK_COMPONENT_OPTIONS_DESCRIPTION "settings for the programmable controls of Velko mice
Velko Options gives the middle and right keys, the side keys and the wheels
of a Velko wireless mouse the functions the user chooses, pairs the mouse with
its USB receiver and keeps the settings in sync with an optional account.
The agent starts at log-in through the configurator's tray icon.")
# What the programs load at run time beside the libraries they link (xdg-open
# opens the web pages, files and folders the functions name).
set(CPACK_DEBIAN_OPTIONS_PACKAGE_DEPENDS "qml-module-qtquick2, qml-module-qtquick-window2, \
qml-module-qtquick-controls2, qml-module-qtquick-templates2, qml-module-qt-labs-platform, \
libqt5svg5, libqt5multimedia5-plugins, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, \
qtwayland5, sensible-utils, xdg-utils")
set(CPACK_DEBIAN_OPTIONS_PACKAGE_RECOMMENDS "gstreamer1.0-pulseaudio")
set(CPACK_DEBIAN_OPTIONS_PACKAGE_CONTROL_EXTRA ${VELKO_PKG}/linux/postinst
    ${VELKO_PKG}/linux/postrm ${VELKO_PKG_OUT}/velko-options/conffiles)

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME velko-account-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_COMPONENT_SERVER_DESCRIPTION "account server for Velko Options
The server behind the optional accounts of Velko Options: sign-in,
registration, password recovery and the upload and download of mouse
settings, over https, with SQLite or PostgreSQL.")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA ${VELKO_PKG_OUT}/velko-account-server/conffiles)
include(CPack)

set(VELKO_PACKAGED_TARGETS VelkoOptions VelkoOptionsGUI VelkoOptionsSound velko-options)
if(TARGET velko-account-server)
    list(APPEND VELKO_PACKAGED_TARGETS velko-account-server)
endif()
add_custom_target(deb
    COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
    DEPENDS ${VELKO_PACKAGED_TARGETS}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    COMMENT "Building the Debian packages in ${CMAKE_BINARY_DIR}/packages"
    VERBATIM)
