#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole Windows program under Wine against the stand-in sites: brevane-e2e.exe,
# brevane.exe pointed at the sites with the relay as its page helper, which runs the Linux
# page helper, is read from outside by win32_end_to_end_test.exe, scenario after scenario;
# the sites run on the Linux side (brevane-e2e-sites).
#
# Builds the Linux page helper and the sites in build/default, and the Windows programs in
# build/windows (each configured from its preset when it is not yet), or in the build trees
# that BREVANE_DEFAULT_BUILD and BREVANE_WINDOWS_BUILD name. Everything Wine runs runs
# inside one xvfb-run, in a fresh prefix set up as for the window's tests
# (cmake/wine-gui-run.sh), whose Wine server is ended before it returns. Fails as well when
# anything of the run is left afterwards: a Wine process, a relay's Linux side or a Linux
# page helper.
set -euo pipefail
cd "$(dirname "$0")/.."

default=${BREVANE_DEFAULT_BUILD:-build/default}
windows=${BREVANE_WINDOWS_BUILD:-build/windows}
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
if [[ ! -f $default/CMakeCache.txt ]]; then
    cmake --preset default
fi
cmake --build "$default" -j "$jobs" --target brevane-pages brevane-e2e-sites
if [[ ! -f $windows/CMakeCache.txt ]]; then
    cmake --preset windows
fi
cmake --build "$windows" -j "$jobs" --target win32_end_to_end_test
default=$(realpath "$default")
windows=$(realpath "$windows")

wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
work=$(mktemp -d)
sites=

# The processes of this run still alive, one "PID COMMAND" a line: every process with this
# run's folder in its command line or environment (the Wine server and programs, the
# relays' Linux side, the Linux page helpers), but the sites. Bash's own builtins read
# them, so that no process of this function's own is found.
leftovers() {
    local proc words environment
    for proc in /proc/[0-9]*; do
        [[ ${proc#/proc/} == "$sites" ]] && continue
        mapfile -d '' -t words 2>/dev/null <"$proc/cmdline" || continue
        mapfile -d '' -t environment 2>/dev/null <"$proc/environ" || environment=()
        if [[ "${words[*]} ${environment[*]}" == *"$work"* ]]; then
            echo "${proc#/proc/} ${words[*]:0:3}"
        fi
    done
}

cleanup() {
    local pid _
    WINEPREFIX=$work/prefix "$wineserver" -k 2>/dev/null || true
    while read -r pid _; do
        kill -KILL "$pid" 2>/dev/null || true
    done < <(leftovers)
    if [[ -n $sites ]]; then
        kill "$sites" 2>/dev/null || true
        wait "$sites" || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/sites" "$work/relays"
"$default/tests/standin/brevane-e2e-sites" "$work/sites" &
sites=$!
for _ in $(seq 100); do
    [[ -f $work/sites/addresses ]] && break
    sleep 0.05
done
addresses=$(cat "$work/sites/addresses")

status=0
env WINE="$wine" WINESERVER="$wineserver" \
    BREVANE_E2E_SITES="$addresses" \
    BREVANE_E2E_DIR="$work/sites" \
    BREVANE_RELAY_DIR="$work/relays" \
    BREVANE_RELAY_HELPER="$default/src/platform/brevane-pages" \
    sh cmake/wine-gui-run.sh --fresh "$work/prefix" 96 \
    "$windows/tests/win32/win32_end_to_end_test.exe" </dev/null || status=$?
if [[ $status != 0 ]]; then
    echo "The stand-in sites' requests:"
    cat "$work/sites/requests"
fi

# The relays' Linux side ends each helper within a tick of its relay's end.
for _ in $(seq 50); do
    [[ -z $(leftovers) ]] && break
    sleep 0.1
done
left=$(leftovers)
if [[ -n $left ]]; then
    echo "Left running after the run:"
    echo "$left"
    status=1
fi
exit $status
