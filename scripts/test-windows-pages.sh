#!/bin/sh
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the tests of brevane-pages.exe itself under Wine, which makes windows, and with them
# the host of the system's web browser control, only on a display:
#
#   scripts/test-windows-pages.sh [BUILD_DIR]     (default build/windows-core)
#
# Everything runs inside one xvfb-run, on one Wine server that is ended before the script
# returns, in a Wine prefix made fresh for the run, with Wine's crash dialog off so that a
# crashing program ends instead of waiting for a click. Wine offers no HTML engine here
# (mshtml is switched off, as for every test, so that no download of one is offered).
set -eu
build=$(realpath "${1:-build/windows-core}")
prefix=$build/winpages-wine-prefix
rm -rf "$prefix"
mkdir -p "$prefix"
export WINEARCH=win64 WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
exec xvfb-run -a sh -c '
    wine wineboot --init >/dev/null 2>&1
    wine reg add "HKCU\\Software\\Wine\\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
    wine "$1"
    status=$?
    wineserver -k 2>/dev/null
    exit $status' sh "$build/src/winpages/winpages_program_test.exe"
