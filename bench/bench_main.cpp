// The benchmark: whole runs of the program against the stand-in sites, each in a
// fresh process, from process start to the end of the run and 3 s beyond, while the
// window stays open. Prints one line per figure.
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
    double runMs = 0;
    double programCpuMs = 0;
    double browserCpuMs = 0;
    double peakPssMiB = 0;
    double peakRssMiB = 0;
    double afterPssMiB = 0;     // kAfterRun after the run
    double afterProcesses = 0;  // browser processes alive then
    double afterRenderers = 0;  // of them, the ones that render pages
};

std::string Narrow(const std::u16string& ascii) {
    return {ascii.begin(), ascii.end()};
}

void SampleMemory(pid_t child, Sample& sample) {
    long pss = 0;
    long rss = 0;
    for (const pid_t pid : standin::ProcessTree(child)) {
        pss += standin::ProportionalKiB(pid);
        rss += standin::ResidentKiB(pid);
    }
    sample.peakPssMiB = std::max(sample.peakPssMiB, pss / 1024.0);
    sample.peakRssMiB = std::max(sample.peakRssMiB, rss / 1024.0);
}

// The browser's zygotes, and the one each keeps in the sandbox, never start a thread
// (they fork); a renderer runs many.
void SampleAfterRun(pid_t child, Sample& sample) {
    long pss = 0;
    for (const pid_t pid : standin::ProcessTree(child)) {
        pss += standin::ProportionalKiB(pid);
        if (pid != child) {
            ++sample.afterProcesses;
            sample.afterRenderers += standin::ThreadCount(pid) > 1 ? 1 : 0;
        }
    }
    sample.afterPssMiB = pss / 1024.0;
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
    std::string line;
    bool ended = false;
    while (!ended && Clock::now() - start < kGiveUp) {
        pollfd ready{out[0], POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(kSampleInterval.count())) > 0) {
            char buffer[256];
            const ssize_t got = read(out[0], buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            line.append(buffer, static_cast<std::size_t>(got));
            ended = line.find('\n') != std::string::npos;
            if (ended) {
                sample.runMs =
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count() -
                    kStartTickMs;
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
    if (!ended || std::sscanf(line.c_str(), "ended %lf %lf", &sample.programCpuMs,
                              &sample.browserCpuMs) != 2) {
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

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (geteuid() == 0) {
        // The browser's sandbox refuses to run as root.
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }
    const std::string program =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "brevane-bench-program")
            .string();

    standin::StandinSites sites;
    standin::ServeSampleRun(sites);
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

    std::printf("runs per case: %d (completed %zu and %zu)\n", runs, plain.size(),
                slowImages.size());
    std::printf(
        "run time, process start to final caption minus the 1000 ms tick, median: %.0f ms\n",
        MedianOf(plain, &Sample::runMs));
    std::printf("CPU time (user+sys) of the program process for the run, median: %.0f ms\n",
                MedianOf(plain, &Sample::programCpuMs));
    std::printf("CPU time (user+sys) of its browser processes for the run, median: %.0f ms\n",
                MedianOf(plain, &Sample::browserCpuMs));
    std::printf("peak memory of program and browser processes together (PSS), median: %.1f MiB\n",
                MedianOf(plain, &Sample::peakPssMiB));
    std::printf(
        "peak memory of program and browser processes together (RSS sum), median: %.1f MiB\n",
        MedianOf(plain, &Sample::peakRssMiB));
    std::printf(
        "memory of program and browser processes 3 s after the run (PSS), median: %.1f MiB\n",
        MedianOf(plain, &Sample::afterPssMiB));
    std::printf(
        "browser processes alive 3 s after the run, median: %.0f, of them page renderers: %.0f\n",
        MedianOf(plain, &Sample::afterProcesses), MedianOf(plain, &Sample::afterRenderers));
    std::printf("run time with a price page whose images take 10 s, median: %.0f ms\n",
                MedianOf(slowImages, &Sample::runMs));
    std::printf("image requests that reached the price site in those runs: %d\n", imageRequests);
    return plain.size() == static_cast<std::size_t>(runs) &&
                   slowImages.size() == static_cast<std::size_t>(runs)
               ? 0
               : 1;
}
