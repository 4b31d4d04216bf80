#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# clang-tidy with the checks of .clang-tidy over every C++ source of the project that the
# default build compiles, and the project's headers they include, from the build's
# compile_commands.json. Run after `cmake --workflow --preset default` (or its build).
# Any finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/default
if [[ ! -f "$build/compile_commands.json" ]]; then
    echo "no $build/compile_commands.json: configure and build the default preset first" >&2
    exit 1
fi
source scripts/clang.sh
tidy=$(clang_command clang-tidy)
runner=$(clang_command run-clang-tidy)
if [[ -z $tidy || -z $runner ]]; then
    echo "no clang-tidy installed: run scripts/install-deps.sh" >&2
    exit 1
fi
# The build's own generated sources (moc, embedded pages) are left out; the compiler's
# warning options that clang does not know are not findings.
"$runner" -p "$build" -j "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" -quiet \
    -clang-tidy-binary "$tidy" -extra-arg=-Wno-unknown-warning-option \
    "^$PWD/(src|tests|bench|fuzz)/.*\.cpp$"
