#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs everything Brevane needs to build, test and package on Debian 12 (run as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
    g++ make cmake pkg-config git ca-certificates clang-format \
    clang-14 libclang-rt-14-dev clang-tidy-14 \
    libgtest-dev \
    qt6-base-dev qt6-webengine-dev libgl-dev \
    libgumbo-dev libcpp-httplib-dev \
    fonts-wqy-microhei xvfb xauth \
    qt6-translations-l10n \
    dpkg-dev file \
    lintian appstream desktop-file-utils reuse
