// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// A process and its descendants as /proc shows them: threads, CPU time and memory, for the
// tests and the benchmark that watch the program and its browser processes.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <vector>

namespace brevane::standin {

/// `root` and every process below it, `root` first.
std::vector<pid_t> ProcessTree(pid_t root);

/// What a window process runs its pages with: its page helpers, which are its children,
/// and the browser engine's processes below them.
struct EngineProcesses {
    std::vector<pid_t> helpers;
    std::vector<pid_t> engine;  ///< below the helpers: zygotes and renderers
    int renderers = 0;          ///< of `engine`, the processes that render pages
    std::size_t alive() const { return helpers.size() + engine.size(); }
};
EngineProcesses EngineProcessesOf(pid_t window);

/// The number of threads of one process (0 when gone).
int ThreadCount(pid_t pid);

/// User plus system CPU time of one process so far, in milliseconds (0 when gone).
double CpuMilliseconds(pid_t pid);

/// Resident set size of one process in KiB (0 when gone).
long ResidentKiB(pid_t pid);

/// Proportional set size of one process in KiB: shared pages are split among the
/// processes that share them, so the sizes of several processes can be added.
long ProportionalKiB(pid_t pid);

}  // namespace brevane::standin
