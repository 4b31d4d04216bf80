// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading /proc: parents, CPU times and memory of processes.
#include "standin/process_tree.h"

#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace brevane::standin {

namespace {

/// The fields of /proc/<pid>/stat after the command name, which may hold spaces.
std::vector<std::string> StatFields(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(file, line);
    const auto close = line.rfind(')');
    std::vector<std::string> fields;
    if (close == std::string::npos) {
        return fields;
    }
    std::istringstream rest(line.substr(close + 2));
    for (std::string field; rest >> field;) {
        fields.push_back(field);
    }
    return fields;
}

long StatusValue(pid_t pid, const char* file, std::string_view key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(key)) {
            std::istringstream value(line.substr(key.size()));
            long kib = 0;
            value >> kib;
            return kib;
        }
    }
    return 0;
}

}  // namespace

std::vector<pid_t> ProcessTree(pid_t root) {
    std::vector<std::pair<pid_t, pid_t>> parents;  // (pid, parent)
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        pid_t pid = 0;
        if (std::from_chars(name.data(), name.data() + name.size(), pid).ec != std::errc{}) {
            continue;
        }
        const auto fields = StatFields(pid);
        if (fields.size() > 1) {
            parents.emplace_back(pid, static_cast<pid_t>(std::stol(fields[1])));
        }
    }
    std::vector<pid_t> tree{root};
    for (std::size_t i = 0; i < tree.size(); ++i) {
        for (const auto& [pid, parent] : parents) {
            if (parent == tree[i]) {
                tree.push_back(pid);
            }
        }
    }
    return tree;
}

EngineProcesses EngineProcessesOf(pid_t window) {
    EngineProcesses processes;
    for (const pid_t pid : ProcessTree(window)) {
        const auto fields = StatFields(pid);
        if (pid == window || fields.size() < 2) {
            continue;
        }
        if (static_cast<pid_t>(std::stol(fields[1])) == window) {
            processes.helpers.push_back(pid);
            continue;
        }
        processes.engine.push_back(pid);
        // The engine's zygotes, and the one each keeps in the sandbox, never start a
        // thread (they fork); a renderer runs many.
        processes.renderers += ThreadCount(pid) > 1 ? 1 : 0;
    }
    return processes;
}

int ThreadCount(pid_t pid) {
    // num_threads is field 20 of the line, 17 after the name.
    const auto fields = StatFields(pid);
    return fields.size() > 17 ? std::stoi(fields[17]) : 0;
}

double CpuMilliseconds(pid_t pid) {
    const auto fields = StatFields(pid);
    // utime and stime are fields 14 and 15 of the line, 11 and 12 after the name.
    if (fields.size() < 13) {
        return 0;
    }
    const double ticks = std::stod(fields[11]) + std::stod(fields[12]);
    return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long ResidentKiB(pid_t pid) {
    return StatusValue(pid, "status", "VmRSS:");
}

long ProportionalKiB(pid_t pid) {
    return StatusValue(pid, "smaps_rollup", "Pss:");
}

}  // namespace brevane::standin
