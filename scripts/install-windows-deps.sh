#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the windows and windows-core presets need on Debian 12 or 13 (run as
# root): the MinGW-w64 cross compiler with POSIX threads, Wine to run its programs,
# GoogleTest's sources to build for Windows, nsis for the installer and file to check it,
# and for the window's tests a virtual display and the CJK faces the tests map the window's
# fonts to. Every name here exists in both releases.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
    cmake ninja-build \
    g++-mingw-w64-x86-64-posix \
    wine wine64 \
    googletest \
    xvfb xauth fonts-wqy-microhei \
    nsis file
