#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# The Linux side of the relay: runs a Linux page helper on FIFOs that the relay under Wine opens.
"""relay-launcher.py DIRECTORY HELPER [ARGUMENT...]

Started by the relay (brevane-relay.exe) under Wine, for one helper only. In DIRECTORY it
makes the FIFOs in, out and err, which become the helper's standard input, output and
error, and life, which the relay holds open for writing while it runs. It starts HELPER
with the ARGUMENTs in a process group of its own, writes the helper's process id to
pid, and then creates ready, for which the relay waits.

Wine opens a FIFO without waiting for its other end: an open for writing with no reader
fails, and a read with no writer reads the end of the stream. So each of in, out and err
is held open here for reading and writing, before the helper opens its end, until the
relay has opened all of its ends and said so with a byte on life. Until then the relay
never finds a FIFO without its other end, and what an early helper writes stays in its
FIFO, even if the helper has already ended.

When life reaches its end, the relay is gone: the helper's whole process group is killed.
A file named kill in DIRECTORY kills the helper at once, as the system might (the tests
use it). When the helper has ended, its exit status goes to status, for the relay to
exit with: its exit code, or 128 plus the signal that ended it.
"""

import os
import select
import signal
import subprocess
import sys
import time

# How long the relay has to open its ends.
RELAY_OPENS_WITHIN = 10.0
# How often the kill file and the helper are looked at.
TICK = 0.05


def write_file(path, text):
    """Writes TEXT to PATH at once: a reader finds the whole text or no file."""
    with open(path + ".part", "w", encoding="utf-8") as part:
        part.write(text)
    os.replace(path + ".part", path)


def exit_status(returncode):
    return returncode if returncode >= 0 else 128 - returncode


def main():
    directory, helper_path, *arguments = sys.argv[1:]
    # Wine hands this process the relay's own descriptors, among them the pipes of the
    # window's channel: none of them stays open here.
    log = os.open(os.path.join(directory, "launcher.log"), os.O_WRONLY | os.O_CREAT | os.O_APPEND)
    null = os.open(os.devnull, os.O_RDWR)
    os.dup2(null, 0)
    os.dup2(log, 1)
    os.dup2(log, 2)
    os.closerange(3, os.sysconf("SC_OPEN_MAX"))

    fifo = {name: os.path.join(directory, name) for name in ("in", "out", "err", "life")}
    for path in fifo.values():
        os.mkfifo(path)
    holders = [os.open(fifo[name], os.O_RDWR) for name in ("in", "out", "err")]
    life = os.open(fifo["life"], os.O_RDONLY | os.O_NONBLOCK)

    ends = [os.open(fifo["in"], os.O_RDONLY), os.open(fifo["out"], os.O_WRONLY),
            os.open(fifo["err"], os.O_WRONLY)]
    helper = None
    try:
        helper = subprocess.Popen([helper_path, *arguments], stdin=ends[0], stdout=ends[1],
                                  stderr=ends[2], start_new_session=True)
        write_file(os.path.join(directory, "pid"), str(helper.pid))
    except OSError as error:
        os.write(holders[2], f"relay: cannot start {helper_path}: {error}\n".encode())
        write_file(os.path.join(directory, "status"), "127")
    for end in ends:
        os.close(end)
    write_file(os.path.join(directory, "ready"), "")

    opened = False
    status_written = helper is None
    deadline = time.monotonic() + RELAY_OPENS_WITHIN
    kill_file = os.path.join(directory, "kill")
    while True:
        readable, _, _ = select.select([life], [], [], TICK)
        if readable:
            data = os.read(life, 64)
            if data and not opened:
                opened = True
                for holder in holders:
                    os.close(holder)
            elif not data and opened:
                break  # the relay is gone
            elif not data:
                time.sleep(TICK)  # no writer yet: the relay has not opened life
        if not opened and time.monotonic() > deadline:
            print("relay: the relay did not open its ends in time", file=sys.stderr)
            break
        if helper is not None and os.path.exists(kill_file):
            os.remove(kill_file)
            helper.kill()
        if not status_written and helper.poll() is not None:
            write_file(os.path.join(directory, "status"), str(exit_status(helper.returncode)))
            status_written = True

    if helper is not None:
        try:
            os.killpg(helper.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        helper.wait()
        if not status_written:
            write_file(os.path.join(directory, "status"), str(exit_status(helper.returncode)))


if __name__ == "__main__":
    main()
