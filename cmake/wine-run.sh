#!/bin/sh
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a Windows program under Wine, for the cross builds' tests: wine-run.sh PREFIX PROGRAM [ARG...]
#
# Wine without a display, in the prefix PREFIX, saying nothing of its own and without
# offering to download Mono or Gecko, which no program here uses. WINE and WINESERVER name
# Wine's loader and server (the toolchain file finds them).
#
# Wine's server starts its own services with the first program that connects, and they
# inherit that program's output: a caller that reads the output to its end (ctest, a test
# listing) would wait for them to end, seconds after the program. So the server is started
# here, to stay ten seconds after its last program ends, and its services are started with
# their output going nowhere; programs run while it stays share it and start in a fraction
# of a second.
set -eu
prefix=$1
shift
mkdir -p "$prefix"
unset DISPLAY WAYLAND_DISPLAY
export WINEARCH=win64 WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if "$WINESERVER" --persistent=10 2>/dev/null; then
    "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
fi
exec "$WINE" "$@"
