# Installation of the programs, their desktop entries and icon, and the Debian
# package built from that installation.
include(GNUInstallDirs)

# The brevane target installs itself where it is defined.
install(TARGETS brevane-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/brevane.desktop packaging/brevane-demo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES src/platform/icons/brevane.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brevane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brevane Team")
set(CPACK_PACKAGE_CONTACT "Brevane Team <brevane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Today's retail fuel prices for the user's place")
set(CPACK_PACKAGE_DESCRIPTION
    "Brevane finds the user's province and city from IP-location pages and shows today's fuel prices for them from two price sites in one small window. brevane-demo runs the same program against sample sites it serves on loopback, without network.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Libraries the programs link come from dpkg-shlibdeps; what WebEngine loads at run
# time (its helper process and resources) and the Chinese font are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6webenginecore6-bin, libqt6webengine6-data")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei, xdg-utils")
include(CPack)
