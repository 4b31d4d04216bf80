#!/bin/sh
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a Windows GUI program under Wine on a virtual display, for the window's tests:
#
#   wine-gui-run.sh --fresh PREFIX          makes PREFIX anew, as a test run's own prefix
#   wine-gui-run.sh [--fresh] PREFIX DPI PROGRAM [ARG...]
#                                           runs PROGRAM in PREFIX, made anew first with
#                                           --fresh
#
# Every Wine command of a call runs inside one xvfb-run, on one Wine server, which is
# ended before the call returns: a server started without a display would give the
# windows started on it later no client area and no tooltips. Before the program starts,
# the prefix is set up as the tests expect it: the window's faces, "微软雅黑" and SimSun,
# stand for the faces the Qt window's tests get on Linux (WenQuanYi Micro Hei and its
# Mono face), so that text measures the same whatever LANG says; the screen has DPI
# dots per inch; a crashing program ends instead of waiting for a click on Wine's crash
# dialog; and Wine draws the windows' frames itself, as the virtual display has no window
# manager, which Wine would otherwise wait for two seconds as each window is hidden.
# WINE and WINESERVER name Wine's loader and server.
set -eu
fresh=0
if [ "$1" = --fresh ]; then
    fresh=1
    shift
    rm -rf "$1"
    mkdir -p "$1"
fi
prefix=$1
export WINEARCH=win64 WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY

if [ $# = 1 ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
        "$WINE" wineboot --init >/dev/null 2>&1
        status=$?
        "$WINESERVER" -w
        exit $status'
fi

dpi=$2
shift 2
settings=$prefix/brevane-test-settings.reg
# regedit reads a UTF-16 file, which holds the face names whatever the locale.
printf '%s\r\n' \
    'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"微软雅黑"="WenQuanYi Micro Hei"' \
    '"SimSun"="WenQuanYi Micro Hei Mono"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' \
    '"ShowCrashDialog"=dword:00000000' '' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' \
    '"Managed"="N"' '' \
    '[HKEY_CURRENT_USER\Control Panel\Desktop]' \
    "\"LogPixels\"=dword:$(printf '%08x' "$dpi")" '' |
    { printf '\377\376'; iconv -f UTF-8 -t UTF-16LE; } >"$settings"

exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    fresh=$1
    settings=$2
    shift 2
    if [ "$fresh" = 1 ]; then
        "$WINE" wineboot --init >/dev/null 2>&1
    fi
    "$WINE" regedit /S "$settings" >/dev/null 2>&1
    "$WINE" "$@"
    status=$?
    "$WINESERVER" -k 2>/dev/null
    exit $status' sh "$fresh" "Z:$settings" "$@"
