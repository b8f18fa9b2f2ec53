# Where `cmake --install` and the Debian package put the programs and their data. Folders are
# installed whole, so a new help page or man page ships without a change here.
include(GNUInstallDirs)

# The application's reverse-DNS id: the desktop entry, the metainfo and the icon are all named
# after it, as desktops and software centres match them by it.
set(VANTOR_APP_ID "io.github.vantor.VantorConfig")

foreach(program vantorconfig vantorctl vantor-sim)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
    endif()
endforeach()

# The program looks for its help beside the executable: <bindir>/../share/vantorconfig/help.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/help/"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/vantorconfig/help")
# The pictures are compiled into the program; the installed copies are for other tools to use.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/icons/"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/vantorconfig/icons")
install(FILES "${PROJECT_SOURCE_DIR}/data/icons/program.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps"
        RENAME ${VANTOR_APP_ID}.svg)

install(FILES "${PROJECT_SOURCE_DIR}/data/desktop/${VANTOR_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
configure_file("${PROJECT_SOURCE_DIR}/data/desktop/${VANTOR_APP_ID}.metainfo.xml.in"
               "${PROJECT_BINARY_DIR}/data/${VANTOR_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/data/${VANTOR_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/man/"
        DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" FILES_MATCHING PATTERN "*.1")
install(FILES "${PROJECT_SOURCE_DIR}/data/completion/vantorctl"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions")
