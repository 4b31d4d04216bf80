# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Installation of the programs, their manual pages, desktop entries, icons, AppStream
# metadata and AppArmor profile, and the Debian package built from that installation.
include(GNUInstallDirs)

set(BREVANE_MAINTAINER "Brevane Team <packaging@brevane.org>")

# The changelog and the metadata name the release by hand; keep them with the project.
file(STRINGS packaging/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^brevane \\(([^)]+)\\) " OR NOT CMAKE_MATCH_1 STREQUAL BREVANE_RELEASE)
  message(FATAL_ERROR "packaging/changelog: the newest entry is not for ${BREVANE_RELEASE}")
endif()
file(READ packaging/org.brevane.brevane.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<release version=\"([^\"]+)\"" OR NOT CMAKE_MATCH_1 STREQUAL BREVANE_RELEASE)
  message(FATAL_ERROR "packaging/org.brevane.brevane.metainfo.xml: the newest release is not ${BREVANE_RELEASE}")
endif()

# The brevane target installs itself where it is defined.
install(TARGETS brevane-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/brevane.desktop packaging/brevane-demo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/org.brevane.brevane.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48)
  install(FILES src/platform/icons/brevane-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME brevane.png)
endforeach()
install(FILES src/platform/icons/brevane.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

# Manual pages list the addresses this build was configured with, written so that
# roff prints them as they are (a plain "-" would become a typographic hyphen).
foreach(address LOCATION_SOURCE_1_URL LOCATION_SOURCE_2_URL LOCATION_SOURCE_3_URL
                SITE_A_ROOT SITE_B_ROOT SPONSOR_URL)
  string(REPLACE "\\" "\\e" text "${BREVANE_${address}}")
  string(REPLACE "-" "\\-" text "${text}")
  set(BREVANE_MAN_${address} "${text}")
endforeach()

# Manual pages and the changelog go in compressed, as Debian keeps them: gzip -9n,
# which leaves out the name and time stamp, so the same input gives the same bytes.
find_program(BREVANE_GZIP gzip REQUIRED)
set(docs_dir ${PROJECT_BINARY_DIR}/packaging)
configure_file(packaging/brevane.1.in ${docs_dir}/brevane.1 @ONLY)
configure_file(packaging/brevane-demo.1.in ${docs_dir}/brevane-demo.1 @ONLY)
configure_file(packaging/changelog ${docs_dir}/changelog COPYONLY)
set(compressed_docs)
foreach(doc brevane.1 brevane-demo.1 changelog)
  add_custom_command(
    OUTPUT ${docs_dir}/${doc}.gz
    COMMAND ${BREVANE_GZIP} -9nkf ${doc}
    DEPENDS ${docs_dir}/${doc}
    WORKING_DIRECTORY ${docs_dir}
    COMMENT "Compressing ${doc}"
    VERBATIM)
  list(APPEND compressed_docs ${docs_dir}/${doc}.gz)
endforeach()
add_custom_target(brevane_docs ALL DEPENDS ${compressed_docs})
install(FILES ${docs_dir}/brevane.1.gz ${docs_dir}/brevane-demo.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${docs_dir}/changelog.gz packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The page helper runs the browser engine, whose sandbox needs unprivileged user
# namespaces. Where AppArmor restricts those, its profile grants them to the helper;
# the package's maintainer scripts load it there. The Debian package is configured
# with the prefix /usr, which puts the profile in /etc/apparmor.d, where dpkg keeps it
# as a configuration file.
set(BREVANE_PAGES_PATH "${CMAKE_INSTALL_FULL_LIBEXECDIR}/brevane/brevane-pages")
set(apparmor_profile "${CMAKE_INSTALL_FULL_SYSCONFDIR}/apparmor.d/brevane-pages")
configure_file(packaging/brevane-pages.apparmor.in ${docs_dir}/apparmor/brevane-pages @ONLY)
install(FILES ${docs_dir}/apparmor/brevane-pages
        DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/apparmor.d)
file(WRITE ${docs_dir}/conffiles "${apparmor_profile}\n")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brevane)
set(CPACK_PACKAGE_VERSION ${BREVANE_RELEASE})
set(CPACK_PACKAGE_VENDOR "Brevane Team")
set(CPACK_PACKAGE_CONTACT "${BREVANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BREVANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://brevane.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Today's retail fuel prices for the user's place")
# The long description, wrapped as Debian wants it: lines under 80 columns, an empty
# line between paragraphs.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Brevane finds the user's province and city from IP-location pages and shows\n"
       "today's fuel prices for them from two price sites in one small window, in\n"
       "Simplified Chinese.\n"
       "\n"
       "brevane-demo runs the same program against sample sites that it serves on\n"
       "loopback, without network.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_BREVANE_OBJCOPY "${CMAKE_OBJCOPY}")
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageStrip.cmake)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/postinst ${PROJECT_SOURCE_DIR}/packaging/postrm
    ${docs_dir}/conffiles)
# Libraries the programs link come from dpkg-shlibdeps; what WebEngine loads at run
# time (its helper process and resources) and the Chinese font are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6webenginecore6-bin, libqt6webengine6-data")
# Qt's own translations give the buttons and menus that Qt draws the desktop's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei, qt6-translations-l10n, xdg-utils")
include(CPack)
