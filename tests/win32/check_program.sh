#!/bin/sh
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks a Windows program as it is shipped: check_program.sh OBJDUMP PROGRAM
#
# It is a 64-bit (PE32+) GUI program under 2 MiB that imports only from DLLs every
# Windows has, and none of the calls that Windows 10 brought (the DPI calls the program
# looks up when it runs): a program that imported one would not start on a Windows without
# it, which a check of the DLL names alone does not show.
set -eu
objdump=$1
program=$2
headers=$("$objdump" -p "$program")
fail() {
    echo "$program: $*" >&2
    exit 1
}

echo "$headers" | grep -q 'Magic[[:space:]]*020b[[:space:]]*(PE32+)' || fail "not a PE32+ program"
echo "$headers" | grep -q 'Subsystem[[:space:]]*00000002[[:space:]]*(Windows GUI)' ||
    fail "not a GUI program"
size=$(wc -c <"$program")
[ "$size" -lt 2097152 ] || fail "$size bytes, 2 MiB or more"

dlls=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort)
for dll in $dlls; do
    case $dll in
        kernel32.dll | user32.dll | gdi32.dll | shell32.dll | comctl32.dll | ole32.dll | msvcrt.dll) ;;
        *) fail "imports from $dll" ;;
    esac
done

# The functions of the import tables: objdump lists them as "<address> <hint> <name>"
# lines under each DLL.
imported=$(echo "$headers" |
    awk '/DLL Name:/ { dll = 1; next } dll && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print $3 }')
[ -n "$imported" ] || fail "no imported functions found"
for newer in GetDpiForWindow GetDpiForSystem AdjustWindowRectExForDpi EnableNonClientDpiScaling \
    SystemParametersInfoForDpi GetSystemMetricsForDpi SetProcessDpiAwarenessContext \
    SetThreadDpiAwarenessContext GetThreadDpiAwarenessContext GetWindowDpiAwarenessContext \
    GetAwarenessFromDpiAwarenessContext AreDpiAwarenessContextsEqual GetDpiForMonitor \
    SetProcessDpiAwareness; do
    if echo "$imported" | grep -qx "$newer"; then
        fail "imports $newer, which only newer Windows has"
    fi
done
echo "$program: PE32+ GUI program, $size bytes, imports $(echo "$imported" | wc -l) functions from:" $dlls
