# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer, brevane-VERSION-win64.exe, made with CPack's NSIS generator and
# Debian's nsis as part of the build: brevane.exe and brevane-pages.exe in one folder under
# Program Files, a Start-menu entry, an uninstaller that Windows' settings list, the licence
# shown, an older installation replaced, and /S for a silent install and uninstall.

# A project copy of CPack's template makes the installer a 64-bit program (see the copy).
list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/windows)

install(FILES LICENSES/GPL-3.0-or-later.txt DESTINATION . RENAME COPYING.txt)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME "Brevane")
set(CPACK_PACKAGE_VENDOR "Brevane Team")
set(CPACK_PACKAGE_VERSION ${BREVANE_RELEASE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Today's retail fuel prices for your place")
set(installer_name "brevane-${BREVANE_RELEASE}-win64")
set(CPACK_PACKAGE_FILE_NAME ${installer_name})
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Brevane")
# One key for every version, so that installing a newer one finds the older and replaces it.
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Brevane")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# The name in the installer's pages and of the Start-menu folder; the version is listed apart.
set(CPACK_NSIS_PACKAGE_NAME "Brevane")
set(CPACK_NSIS_DISPLAY_NAME "Brevane")
set(CPACK_NSIS_INSTALLED_ICON_NAME "brevane.exe")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/src/platform/icons/brevane.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/src/platform/icons/brevane.ico)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
set(CPACK_NSIS_URL_INFO_ABOUT "https://brevane.org/")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSES/GPL-3.0-or-later.txt)
# The Start-menu entry: brevane.exe as "Brevane".
set(CPACK_PACKAGE_EXECUTABLES "brevane" "Brevane")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
include(CPack)

# Made with the programs it holds, whenever they change.
set(BREVANE_INSTALLER ${PROJECT_BINARY_DIR}/installer/${installer_name}.exe)
add_custom_command(
  OUTPUT ${BREVANE_INSTALLER}
  COMMAND ${CMAKE_CPACK_COMMAND} --config ${PROJECT_BINARY_DIR}/CPackConfig.cmake
          -B ${PROJECT_BINARY_DIR}/installer
  DEPENDS brevane brevane-pages ${PROJECT_SOURCE_DIR}/cmake/windows/NSIS.template.in
          ${PROJECT_BINARY_DIR}/CPackConfig.cmake
  COMMENT "Making the installer ${installer_name}.exe"
  VERBATIM)
add_custom_target(brevane-installer ALL DEPENDS ${BREVANE_INSTALLER})
