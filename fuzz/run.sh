#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs each fuzz target of the `fuzz` preset for the given number of seconds (default 60)
# from its seed pages; a finding (crash, sanitizer report, broken invariant, hang) fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bin=build/fuzz/fuzz
work=build/fuzz/corpus

run() {
  local target=$1
  shift
  mkdir -p "$work/$target" "$work/$target-findings"
  "$bin/brevane-fuzz-$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$work/$target-findings/" "$work/$target" "$@"
}

run page-text fuzz/seeds/page_text src/standin/sites
run cutters fuzz/seeds/cutters
run page-protocol fuzz/seeds/page_protocol
