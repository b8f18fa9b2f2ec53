# `cpack -G DEB`: one Debian package with everything `cmake --install` puts in place. Its
# library dependencies are read from the programs themselves by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME "vantorconfig")
set(CPACK_PACKAGE_VENDOR "VantorConfig developers")
set(CPACK_PACKAGE_CONTACT "VantorConfig developers <vantorconfig@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool for the Vantor streaming media server")
set(CPACK_PACKAGE_DESCRIPTION
    "VantorConfig edits the Vantor media server's configuration (virtual folders, live\n"
    "broadcasts, access and limits), starts and stops its service through systemd and\n"
    "polkit, manages its users and watches its activity. vantorctl does the same from a\n"
    "terminal; vantor-sim stands in for a server to try the tool without one.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY "vantorconfig")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "admin")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The tool reaches systemd on the system bus, where polkit asks before a start or stop; neither
# is linked, so they are named here. vantor-sim runs on a private bus of dbus-daemon's; Qt's
# Wayland plugin lets the window run without XWayland.
# libavformat is loaded when the first media file is probed, not linked: named here, as the
# version the probe was built against.
find_package(PkgConfig REQUIRED)
pkg_check_modules(AVFORMAT_FOR_PACKAGE QUIET libavformat)
string(REGEX MATCH "^[0-9]+" avformat_major "${AVFORMAT_FOR_PACKAGE_VERSION}")
if(avformat_major)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libavformat${avformat_major}")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dbus, polkitd")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "dbus-daemon, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vantorconfig.example.org/")

include(CPack)
