#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a running program's windows from outside, through AT-SPI, as a screen reader does.

Waits until an application of the given name is on the accessibility bus and its window
title matches the given pattern (e.g. the caption after a finished run), then prints the
accessible tree: one line per object with role, states, extents, name, description and
actions. With --events it also prints the name and description changes it heard while
waiting, as a screen reader hears them. Texts are shown as Python literals, line breaks escaped. Needs
python3-gi and gir1.2-atspi-2.0, and the program started with the accessibility bus on
(QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1).

Usage: read-window-accessibility.py [--app NAME] [--title REGEX] [--timeout SECONDS] [--events]
"""
import argparse
import warnings
import re
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# The Action calls are marked deprecated in favour of ones older libraries lack.
warnings.filterwarnings("ignore", category=DeprecationWarning)


def show(text):
    return repr(text or "")


def states(obj):
    state_set = obj.get_state_set()
    names = []
    for state in (Atspi.StateType.VISIBLE, Atspi.StateType.SHOWING, Atspi.StateType.FOCUSABLE):
        if state_set.contains(state):
            names.append(state.value_nick)
    return ",".join(names) or "-"


def actions(obj):
    if "Action" not in obj.get_interfaces():
        return ""
    names = [obj.get_action_name(i) for i in range(obj.get_n_actions())]
    return " actions=[" + ",".join(names) + "]" if names else ""


def walk(obj, depth, out):
    ext = obj.get_extents(Atspi.CoordType.SCREEN)
    out.append(
        f"{'  ' * depth}{obj.get_role_name()} [{states(obj)}] "
        f"({ext.x},{ext.y} {ext.width}x{ext.height}) "
        f"name={show(obj.get_name())} description={show(obj.get_description())}"
        f"{actions(obj)}"
    )
    for i in range(obj.get_child_count()):
        child = obj.get_child_at_index(i)
        if child is not None:
            walk(child, depth + 1, out)


def find_app(name):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == name:
            return app
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--app", default="brevane-demo")
    parser.add_argument("--title", default=".*")
    parser.add_argument("--timeout", type=float, default=60)
    parser.add_argument("--events", action="store_true")
    args = parser.parse_args()

    heard = []

    def on_change(event):
        source = event.source
        heard.append(
            f"{event.type}: {source.get_role_name()} "
            f"name={show(source.get_name())} description={show(source.get_description())}"
        )

    listener = Atspi.EventListener.new(on_change)
    if args.events:
        listener.register("object:property-change:accessible-name")
        listener.register("object:property-change:accessible-description")

    deadline = time.monotonic() + args.timeout
    title = re.compile(args.title)
    found = {}
    loop = GLib.MainLoop()

    def poll():
        app = find_app(args.app)
        windows = [app.get_child_at_index(i) for i in range(app.get_child_count())] if app else []
        found["seen"] = [show(w.get_name()) for w in windows if w is not None]
        if any(w is not None and title.search(w.get_name() or "") for w in windows):
            found["app"] = app
            loop.quit()
        elif time.monotonic() > deadline:
            loop.quit()
        return True

    GLib.timeout_add(500, poll)
    loop.run()
    if "app" not in found:
        print(f"no window of {args.app!r} titled /{args.title}/ (seen: {found.get('seen')})",
              file=sys.stderr)
        return 1

    lines = []
    walk(found["app"], 0, lines)
    print("\n".join(lines))
    if args.events:
        print(f"-- {len(heard)} changes heard while waiting:")
        print("\n".join(heard))
    return 0


if __name__ == "__main__":
    sys.exit(main())
