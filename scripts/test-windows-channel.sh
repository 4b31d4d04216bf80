#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows page helper channel's tests under Wine: with the test program playing helpers,
# and with the real Linux page helper through the relay against test pages on 127.0.0.1.
#
# Builds the Linux page helper in build/default and the tests and the relay in
# build/windows (each configured from its preset when it is not yet), or in the build
# trees that BREVANE_DEFAULT_BUILD and BREVANE_WINDOWS_BUILD name. Everything Wine runs
# runs inside one xvfb-run, in a fresh prefix with Wine's crash dialog off, and the Wine
# server is ended afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."

default=${BREVANE_DEFAULT_BUILD:-build/default}
windows=${BREVANE_WINDOWS_BUILD:-build/windows}
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
if [[ ! -f $default/CMakeCache.txt ]]; then
    cmake --preset default
fi
cmake --build "$default" -j "$jobs" --target brevane-pages
if [[ ! -f $windows/CMakeCache.txt ]]; then
    cmake --preset windows
fi
cmake --build "$windows" -j "$jobs" --target win32_helper_channel_test win32_channel_relay_test

wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
work=$(mktemp -d)
server=
cleanup() {
    if [[ -n $server ]]; then
        kill "$server" 2>/dev/null || true
    fi
    WINEPREFIX=$work/prefix "$wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

python3 tests/wine/loopback_pages.py "$work/port" &
server=$!
for _ in $(seq 100); do
    [[ -f $work/port ]] && break
    sleep 0.05
done
mkdir "$work/relays"

export WINE=$wine WINESERVER=$wineserver WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=" \
    BREVANE_RELAY_HELPER=$PWD/$default/src/platform/brevane-pages \
    BREVANE_RELAY_DIR=$work/relays \
    BREVANE_TEST_PAGES=http://127.0.0.1:$(cat "$work/port")
# shellcheck disable=SC2016 # expanded by the inner shell
xvfb-run -a bash -c '
    "$WINE" wineboot -i >/dev/null 2>&1
    "$WINE" reg add "HKCU\\Software\\Wine\\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null
    failed=0
    for test in "$@"; do
        "$WINE" "$test" </dev/null || failed=1
    done
    "$WINESERVER" -k
    exit $failed' tests \
    "$PWD/$windows/tests/winchannel/win32_helper_channel_test.exe" \
    "$PWD/$windows/tests/winchannel/win32_channel_relay_test.exe"
