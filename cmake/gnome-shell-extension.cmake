# The GNOME Shell extension that tells the agent which window is in front, in
# both of the Shell's extension forms, written from one source:
#   ${VELKO_GNOME_EXTENSIONS}/43/<uuid>  legacy module, GNOME Shell 43 and 44
#   ${VELKO_GNOME_EXTENSIONS}/45/<uuid>  ES module, GNOME Shell 45 and later
set(VELKO_GNOME_UUID velko-options@velko.com)
set(VELKO_GNOME_EXTENSIONS ${CMAKE_BINARY_DIR}/gnome-shell)
set(source ${PROJECT_SOURCE_DIR}/packaging/linux/gnome-shell)
file(READ ${source}/windows.js core)
foreach(form "43;legacy;\"43\", \"44\"" "45;module;\"45\", \"46\", \"47\", \"48\"")
    list(GET form 0 folder)
    list(GET form 1 kind)
    list(GET form 2 VELKO_SHELL_VERSIONS)
    set(out ${VELKO_GNOME_EXTENSIONS}/${folder}/${VELKO_GNOME_UUID})
    file(READ ${source}/${kind}-head.js head)
    file(READ ${source}/${kind}-tail.js tail)
    file(WRITE ${out}/extension.js "${head}\n${core}${tail}")
    configure_file(${source}/metadata.json.in ${out}/metadata.json @ONLY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
        ${source}/windows.js ${source}/${kind}-head.js ${source}/${kind}-tail.js)
endforeach()
