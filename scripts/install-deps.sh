#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs everything Brevane needs to build, test and package on Debian (run as root). It
# names no release: it installs the packages the machine's own archive has, asking apt-cache
# where a name differs between releases.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update

# clang for the fuzz targets and clang-tidy.
source "$(dirname "$0")/clang.sh"
mapfile -t clang_packages < <(clang_packages)
if [[ ${#clang_packages[@]} -eq 0 ]]; then
    echo "install-deps: the archive has no clang with clang-tidy and its runtime libraries" >&2
    exit 1
fi

apt-get install -y --no-install-recommends \
    g++ cmake ninja-build pkg-config git ca-certificates clang-format \
    "${clang_packages[@]}" \
    libgtest-dev \
    qt6-base-dev qt6-webengine-dev libgl-dev \
    libgumbo-dev libcpp-httplib-dev libssl-dev \
    fonts-wqy-microhei xvfb xauth \
    qt6-translations-l10n \
    dpkg-dev file \
    lintian appstream desktop-file-utils reuse
