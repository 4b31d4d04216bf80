#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the windows-core preset needs on Debian 12 or 13 (run as root): the
# MinGW-w64 cross compiler with POSIX threads, Wine to run its programs, and GoogleTest's
# sources to build for Windows. Every name here exists in both releases.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
    cmake ninja-build \
    g++-mingw-w64-x86-64-posix \
    wine wine64 \
    googletest
