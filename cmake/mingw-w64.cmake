# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads flavour) and
# runs what it builds under Wine, so that ctest and GoogleTest's test discovery work as
# they do on Linux.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

# Libraries and headers come from the MinGW-w64 tree only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static programs: the C++ runtime, libgcc and winpthread are linked in, so no MinGW DLL
# has to be found beside a program or on Wine's path.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Debian's wine package installs the loader as wine (an alternative for wine-stable); the
# loader of wine64 alone is the fallback.
find_program(BREVANE_WINE NAMES wine wine-stable wine64 PATHS /usr/lib/wine REQUIRED)
find_program(BREVANE_WINESERVER NAMES wineserver wineserver-stable wineserver64
             PATHS /usr/lib/wine REQUIRED)

# Every program runs through wine-run.sh, in a prefix of its own in the build tree.
set(BREVANE_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINE=${BREVANE_WINE} WINESERVER=${BREVANE_WINESERVER}
    ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${BREVANE_WINE_PREFIX})
