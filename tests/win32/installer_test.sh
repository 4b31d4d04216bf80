#!/bin/sh
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer under Wine, in a prefix of its own on a virtual display:
#
#   installer_test.sh INSTALLER PREFIX OUTSIDE_TEST
#
# The installer is a 64-bit program. Installed silently, it puts brevane.exe and
# brevane-pages.exe in one folder under Program Files, where its Start-menu entry points, with
# an uninstaller that Windows' settings list; the installed program starts and, as the
# system's browser control loads no pages under Wine, asks about Guangdong with the reason in
# its diagnostics (OUTSIDE_TEST checks that). Installed again over itself, it replaces the
# installation; uninstalled silently, it leaves nothing behind. WINE and WINESERVER name
# Wine's loader and server.
set -eu
installer=$1
prefix=$2
outside=$3

fail() {
    echo "installer test: $*" >&2
    exit 1
}

file "$installer" | grep -q 'PE32+ executable (GUI) x86-64' ||
    fail "$installer is not a 64-bit Windows program: $(file -b "$installer")"

rm -rf "$prefix"
mkdir -p "$prefix"
# Wine's menu builder stays off: the Start-menu entry is not to reach this machine's desktop.
export WINEARCH=win64 WINEPREFIX="$prefix" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WAYLAND_DISPLAY
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    set -eu
    installer=$1 prefix=$2 outside=$3
    fail() { echo "installer test: $*" >&2; "$WINESERVER" -k 2>/dev/null || true; exit 1; }
    "$WINE" wineboot --init >/dev/null 2>&1
    "$WINE" reg add "HKCU\\Software\\Wine\\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
    folder="$prefix/drive_c/Program Files/Brevane"
    menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Brevane"
    key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brevane"

    for round in first again; do
        "$WINE" "$installer" /S
        "$WINESERVER" -w
        for program in brevane.exe brevane-pages.exe; do
            [ -f "$folder/$program" ] || fail "$round install: no $program in $folder"
        done
        [ -f "$menu/Brevane.lnk" ] || fail "$round install: no Start-menu entry in $menu"
        # A shell link holds the path of its target as text.
        grep -aqi "Program Files.Brevane.brevane.exe" "$menu/Brevane.lnk" ||
            fail "$round install: the Start-menu entry does not point at brevane.exe"
        "$WINE" reg query "$key" /v UninstallString >/dev/null 2>&1 ||
            fail "$round install: no uninstaller listed under $key"
    done

    BREVANE_PROGRAM_UNDER_TEST="C:\\Program Files\\Brevane\\brevane.exe" \
        "$WINE" "$outside" \
        --gtest_filter="FromOutside.ThePageHelperThatCannotLoadPages*" ||
        fail "the installed program did not end its run as expected"
    "$WINESERVER" -w

    "$WINE" "$folder/Uninstall.exe" /S
    "$WINESERVER" -w
    [ ! -e "$folder" ] || fail "uninstall left $(ls "$folder")"
    [ ! -e "$menu" ] || fail "uninstall left the Start-menu entry"
    for left in "$key" "HKLM\\Software\\Brevane Team"; do
        if "$WINE" reg query "$left" >/dev/null 2>&1; then
            fail "uninstall left $left"
        fi
    done
    "$WINESERVER" -k 2>/dev/null || true
    echo "installer test: passed"
' sh "$installer" "$prefix" "$outside"
