// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmark: whole runs of the program against the stand-in sites, each in a
// fresh process, from process start to the end of the run and 3 s beyond, while the
// window stays open. Prints one line per figure. Memory is counted for the window's
// process and for everything below it (its page helper and the browser engine's
// processes) apart.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "standin/process_tree.h"
#include "standin/sample_sites.h"
#include "standin/standin_sites.h"

extern char** environ;

namespace {

using namespace brevane;
using Clock = std::chrono::steady_clock;

constexpr double kStartTickMs = 1000;
constexpr auto kSampleInterval = std::chrono::milliseconds(20);
constexpr auto kGiveUp = std::chrono::seconds(120);
constexpr auto kAfterRun = std::chrono::seconds(3);

struct Sample {
    double shownMs = 0;  // process start to the window's first paint
    double runMs = 0;
    double programCpuMs = 0;
    double browserCpuMs = 0;
    double peakPssMiB = 0;
    double peakWindowPssMiB = 0;
    double peakEnginePssMiB = 0;  // page helper and engine processes together
    double peakRssMiB = 0;
    double afterPssMiB = 0;  // kAfterRun after the run
    double afterWindowPssMiB = 0;
    double afterEnginePssMiB = 0;
    double afterProcesses = 0;  // processes below the window alive then
    double afterRenderers = 0;  // of them, the ones that render pages
};

std::string Narrow(const std::u16string& ascii) {
    return {ascii.begin(), ascii.end()};
}

struct Memory {
    double windowPssMiB = 0;
    double enginePssMiB = 0;
    double rssMiB = 0;
};

Memory MeasureMemory(pid_t window) {
    Memory memory;
    for (const pid_t pid : standin::ProcessTree(window)) {
        const double pss = standin::ProportionalKiB(pid) / 1024.0;
        (pid == window ? memory.windowPssMiB : memory.enginePssMiB) += pss;
        memory.rssMiB += standin::ResidentKiB(pid) / 1024.0;
    }
    return memory;
}

void SampleMemory(pid_t child, Sample& sample) {
    const Memory memory = MeasureMemory(child);
    sample.peakPssMiB = std::max(sample.peakPssMiB, memory.windowPssMiB + memory.enginePssMiB);
    sample.peakWindowPssMiB = std::max(sample.peakWindowPssMiB, memory.windowPssMiB);
    sample.peakEnginePssMiB = std::max(sample.peakEnginePssMiB, memory.enginePssMiB);
    sample.peakRssMiB = std::max(sample.peakRssMiB, memory.rssMiB);
}

void SampleAfterRun(pid_t child, Sample& sample) {
    const Memory memory = MeasureMemory(child);
    sample.afterWindowPssMiB = memory.windowPssMiB;
    sample.afterEnginePssMiB = memory.enginePssMiB;
    sample.afterPssMiB = memory.windowPssMiB + memory.enginePssMiB;
    const standin::EngineProcesses engine = standin::EngineProcessesOf(child);
    sample.afterProcesses = static_cast<double>(engine.alive());
    sample.afterRenderers = engine.renderers;
}

/// One run; the program quits when its standard input closes.
std::optional<Sample> RunOnce(const std::string& program, const WebAddresses& addresses,
                              bool afterRun) {
    int out[2];
    int in[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    if (pipe2(in, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args{program,
                                  Narrow(addresses.locationSource1),
                                  Narrow(addresses.locationSource2),
                                  Narrow(addresses.locationSource3),
                                  Narrow(addresses.siteARoot),
                                  Narrow(addresses.siteBRoot),
                                  Narrow(addresses.sponsor)};
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    const auto start = Clock::now();
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(in[0]);
    if (spawned != 0) {
        close(out[0]);
        close(in[1]);
        return std::nullopt;
    }

    Sample sample;
    std::string output;
    bool shown = false;
    bool ended = false;
    while (!ended && Clock::now() - start < kGiveUp) {
        pollfd ready{out[0], POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(kSampleInterval.count())) > 0) {
            char buffer[256];
            const ssize_t got = read(out[0], buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            output.append(buffer, static_cast<std::size_t>(got));
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            if (!shown && output.find("shown\n") != std::string::npos) {
                shown = true;
                sample.shownMs = ms;
            }
            ended = output.find("ended ") != std::string::npos &&
                    output.find('\n', output.find("ended ")) != std::string::npos;
            if (ended) {
                sample.runMs = ms - kStartTickMs;
            }
        }
        if (!ended) {
            SampleMemory(child, sample);
        }
    }
    if (ended && afterRun) {
        std::this_thread::sleep_for(kAfterRun);
        SampleAfterRun(child, sample);
    }
    close(in[1]);
    close(out[0]);
    if (!ended) {
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!ended || std::sscanf(output.c_str() + output.find("ended "), "ended %lf %lf",
                              &sample.programCpuMs, &sample.browserCpuMs) != 2) {
        return std::nullopt;
    }
    return sample;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

template <typename Field>
double MedianOf(const std::vector<Sample>& samples, Field field) {
    std::vector<double> values;
    for (const Sample& sample : samples) {
        values.push_back(sample.*field);
    }
    return Median(values);
}

std::vector<Sample> RunMany(const std::string& program, const standin::StandinSites& sites,
                            int runs, bool afterRun) {
    std::vector<Sample> samples;
    for (int i = 0; i < runs; ++i) {
        if (auto sample = RunOnce(program, sites.addresses(), afterRun)) {
            samples.push_back(*sample);
        } else {
            std::fprintf(stderr, "run %d did not end\n", i + 1);
        }
    }
    return samples;
}

/// The sample run on `sites`, every page held back `delay`.
void ServeRun(standin::StandinSites& sites, std::chrono::milliseconds delay) {
    standin::ServeSampleRun(sites);
    if (delay.count() > 0) {
        sites.fail(standin::Site::Location1, "/", {standin::FaultKind::Delay, delay});
        for (const standin::SamplePage& page : standin::SamplePages()) {
            sites.fail(page.site, std::string(page.path), {standin::FaultKind::Delay, delay});
        }
    }
}

/// Runs two programs by turns, `pairs` times each, the first of each pair alternating, and
/// compares their run times and peak memory: the medians, and the median of the pairs'
/// ratios, which a machine whose load drifts during the measurement skews least.
int ComparePairs(int pairs, const std::string& before, const std::string& after,
                 std::chrono::milliseconds delay) {
    standin::StandinSites sites;
    ServeRun(sites, delay);
    std::vector<Sample> a;
    std::vector<Sample> b;
    std::vector<double> runRatios;
    std::vector<double> memoryRatios;
    for (int i = 0; i < pairs; ++i) {
        std::optional<Sample> first;
        std::optional<Sample> second;
        if (i % 2 == 0) {
            first = RunOnce(before, sites.addresses(), false);
            second = RunOnce(after, sites.addresses(), false);
        } else {
            second = RunOnce(after, sites.addresses(), false);
            first = RunOnce(before, sites.addresses(), false);
        }
        if (!first || !second) {
            std::fprintf(stderr, "pair %d did not end\n", i + 1);
            continue;
        }
        a.push_back(*first);
        b.push_back(*second);
        runRatios.push_back(second->runMs / first->runMs);
        memoryRatios.push_back(second->peakPssMiB / first->peakPssMiB);
    }
    std::printf("pairs: %d (completed %zu), each page held back %lld ms\n", pairs, a.size(),
                static_cast<long long>(delay.count()));
    std::printf(
        "run time after the tick, median: %.0f ms before, %.0f ms after; "
        "median ratio of pairs %.3f\n",
        MedianOf(a, &Sample::runMs), MedianOf(b, &Sample::runMs), Median(runRatios));
    std::printf(
        "peak memory of all processes (PSS), median: %.1f MiB before, %.1f MiB after; "
        "median ratio of pairs %.3f\n",
        MedianOf(a, &Sample::peakPssMiB), MedianOf(b, &Sample::peakPssMiB), Median(memoryRatios));
    return a.size() == static_cast<std::size_t>(pairs) ? 0 : 1;
}

void PrepareEnvironment() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (geteuid() == 0) {
        // The browser's sandbox refuses to run as root.
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }
}

}  // namespace

// brevane-bench [runs] [program] [page delay in ms]: the delay holds back every page of
// the run (location and price pages, not their images), as a slow line to real sites
// would.
// brevane-bench --pairs <pairs> <program before> <program after> [page delay in ms]: two
// builds' benchmark programs by turns.
int main(int argc, char* argv[]) {
    PrepareEnvironment();
    if (argc >= 5 && std::string_view(argv[1]) == "--pairs") {
        return ComparePairs(
            std::max(1, std::atoi(argv[2])), argv[3], argv[4],
            std::chrono::milliseconds(argc > 5 ? std::max(0, std::atoi(argv[5])) : 0));
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const auto pageDelay =
        std::chrono::milliseconds(argc > 3 ? std::max(0, std::atoi(argv[3])) : 0);
    // Another build's program may be measured against this one's.
    const std::string program =
        argc > 2 ? std::string(argv[2])
                 : (std::filesystem::read_symlink("/proc/self/exe").parent_path() /
                    "brevane-bench-program")
                       .string();

    standin::StandinSites sites;
    ServeRun(sites, pageDelay);
    const std::vector<Sample> plain = RunMany(program, sites, runs, true);

    // The province page's images take 10 s each; the run should not wait for them.
    sites.fail(standin::Site::SiteA, "/img/banner.png",
               {standin::FaultKind::Delay, std::chrono::seconds(10)});
    sites.fail(standin::Site::SiteA, "/img/chart.png",
               {standin::FaultKind::Delay, std::chrono::seconds(10)});
    sites.clearLog();
    const std::vector<Sample> slowImages = RunMany(program, sites, runs, false);
    int imageRequests = 0;
    for (const auto& request : sites.requests()) {
        imageRequests += request.path.starts_with("/img/") ? 1 : 0;
    }

    std::printf("runs per case: %d (completed %zu and %zu), each page held back %lld ms\n", runs,
                plain.size(), slowImages.size(), static_cast<long long>(pageDelay.count()));
    std::printf("time from process start to the window's first paint, median: %.1f ms\n",
                MedianOf(plain, &Sample::shownMs));
    std::printf(
        "run time, process start to final caption minus the 1000 ms tick, median: %.0f ms\n",
        MedianOf(plain, &Sample::runMs));
    std::printf("CPU time (user+sys) of the program process for the run, median: %.0f ms\n",
                MedianOf(plain, &Sample::programCpuMs));
    std::printf("CPU time (user+sys) of its helper and browser processes, median: %.0f ms\n",
                MedianOf(plain, &Sample::browserCpuMs));
    std::printf("peak memory of all processes together (PSS), median: %.1f MiB\n",
                MedianOf(plain, &Sample::peakPssMiB));
    std::printf("peak memory of the window's process (PSS), median: %.1f MiB\n",
                MedianOf(plain, &Sample::peakWindowPssMiB));
    std::printf("peak memory of the helper and engine processes (PSS), median: %.1f MiB\n",
                MedianOf(plain, &Sample::peakEnginePssMiB));
    std::printf("peak memory of all processes together (RSS sum), median: %.1f MiB\n",
                MedianOf(plain, &Sample::peakRssMiB));
    std::printf("memory of all processes 3 s after the run (PSS), median: %.1f MiB\n",
                MedianOf(plain, &Sample::afterPssMiB));
    std::printf("  of it the window's process: %.1f MiB, the helper and engine: %.1f MiB\n",
                MedianOf(plain, &Sample::afterWindowPssMiB),
                MedianOf(plain, &Sample::afterEnginePssMiB));
    std::printf(
        "processes below the window 3 s after the run, median: %.0f, of them page renderers: "
        "%.0f\n",
        MedianOf(plain, &Sample::afterProcesses), MedianOf(plain, &Sample::afterRenderers));
    std::printf("run time with a price page whose images take 10 s, median: %.0f ms\n",
                MedianOf(slowImages, &Sample::runMs));
    std::printf("image requests that reached the price site in those runs: %d\n", imageRequests);
    return plain.size() == static_cast<std::size_t>(runs) &&
                   slowImages.size() == static_cast<std::size_t>(runs)
               ? 0
               : 1;
}
