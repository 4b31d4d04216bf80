#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the offline demo on a virtual display with the accessibility bus on, and
# prints its window as a screen reader reads it through AT-SPI once the run has
# named the place: every control's role, state, extents, name, description and
# actions, and the name and description changes announced during the run.
# Needs xvfb, dbus-x11 (dbus-run-session), at-spi2-core, python3-gi and
# gir1.2-atspi-2.0. Usage: scripts/read-demo-accessibility.sh [path/to/brevane-demo]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
demo="$(realpath "${1:-$here/../build/default/src/platform/brevane-demo}")"

if [[ "${BREVANE_INSIDE_SESSION:-}" != 1 ]]; then
    # A private session bus and display, so nothing of the caller's desktop is read.
    exec env BREVANE_INSIDE_SESSION=1 dbus-run-session -- xvfb-run -a "$0" "$demo"
fi

# The reader listens before the demo starts, so it hears every change of the run.
/usr/bin/python3 "$here/read-window-accessibility.py" --app "$(basename "$demo")" \
    --title '今日油价' --timeout 90 --events &
reader=$!
sleep 1
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$demo" >/dev/null 2>&1 &
program=$!
status=0
wait "$reader" || status=$?
kill "$program"
wait "$program" 2>/dev/null || true
exit "$status"
