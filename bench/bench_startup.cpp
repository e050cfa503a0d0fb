// The tool's start-up against a bare QApplication + QLabel program (bench_bare_window), in the
// same run: each is started as a child process with PLATINE_STARTUP_PROBE=1 and timed from the
// start of the process to the lines its probe writes on standard error:
//   - "startup-ms" when its first window is exposed (mapped on the screen);
//   - "painted-ms" once that window's first frame has been painted.
// Two start-up paths: with the splash window (its first painted frame against the bare
// program's) and with --no-splash (the main window mapped against the bare window mapped).
// Prints the medians over the runs and the two ratios, and the processor time each program took
// (less sensitive to other work on the machine than the times). Needs a display (scripts/bench.sh
// runs it under Xvfb). Not a test: run by scripts/bench.sh.
//
//   bench_startup PLATINE BARE-WINDOW [runs]     (default 15 runs)

#include "child_runs.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

constexpr int kTimeoutMs = 20000;

using Clock = std::chrono::steady_clock;

struct Timing
{
    double mappedMs = -1;
    double paintedMs = -1;
    double cpuMs = -1;  // processor time (user and system) of the whole run, to its exit
};

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Starts the program with the probe on and its standard error on a pipe; times the probe's
// lines from the start of the process.
Timing startOnce(const std::vector<std::string> &arguments)
{
    Timing timing;
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        std::perror("pipe");
        return timing;
    }
    std::vector<char *> argv = bench::spawnArguments(arguments);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::strerror(spawned));
        close(pipeEnds[0]);
        return timing;
    }

    std::string pending;
    bool open = true;
    while (open && timing.paintedMs < 0) {
        const int remaining = kTimeoutMs - static_cast<int>(millisecondsSince(start));
        pollfd waiting{pipeEnds[0], POLLIN, 0};
        if (remaining <= 0 || poll(&waiting, 1, remaining) <= 0)
            break;
        char chunk[512];
        const ssize_t n = read(pipeEnds[0], chunk, sizeof chunk);
        if (n <= 0) {
            open = n < 0 && (errno == EINTR || errno == EAGAIN);
            continue;
        }
        const double now = millisecondsSince(start);
        pending.append(chunk, static_cast<size_t>(n));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (line.rfind("startup-ms:", 0) == 0 && timing.mappedMs < 0)
                timing.mappedMs = now;
            else if (line.rfind("painted-ms:", 0) == 0 && timing.paintedMs < 0)
                timing.paintedMs = now;
        }
    }
    close(pipeEnds[0]);
    if (timing.paintedMs < 0) {
        std::fprintf(stderr, "%s %s: no painted-ms line within %d ms\n", argv[0],
                     arguments.size() > 1 ? argv[1] : "", kTimeoutMs);
        kill(child, SIGTERM);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) == child) {
        const auto ms = [](const timeval &t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
        timing.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    }
    return timing;
}

struct Series
{
    std::vector<double> mapped;
    std::vector<double> painted;
    std::vector<double> cpu;

    bool add(const Timing &timing)
    {
        if (timing.mappedMs < 0 || timing.paintedMs < 0 || timing.cpuMs < 0)
            return false;
        mapped.push_back(timing.mappedMs);
        painted.push_back(timing.paintedMs);
        cpu.push_back(timing.cpuMs);
        return true;
    }
};

}  // namespace

int main(int argc, char *argv[])
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s PLATINE BARE-WINDOW [runs]\n", argv[0]);
        return 2;
    }
    const std::string tool = argv[1];
    const std::string bare = argv[2];
    const int runs = bench::runsArgument(argc == 4 ? argv[3] : nullptr, 15);
    if (runs == 0)
        return 2;
    setenv("PLATINE_STARTUP_PROBE", "1", 1);

    // The tool's settings in a folder of their own, the same (none) at every start.
    std::string folderTemplate =
        (std::filesystem::temp_directory_path() / "platine-bench-XXXXXX").string();
    const char *settingsFolder = mkdtemp(folderTemplate.data());
    if (!settingsFolder) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string settings = std::string(settingsFolder) + "/param.ini";
    const std::vector<std::string> splash = {tool, "--settings", settings};
    const std::vector<std::string> noSplash = {tool, "--no-splash", "--settings", settings};

    // One start of each first, not counted: the files the programs load are then cached.
    startOnce({bare});
    startOnce(splash);
    startOnce(noSplash);

    Series bareSeries;
    Series splashSeries;
    Series mainSeries;
    for (int run = 0; run < runs; ++run) {
        // In turn, so that a busy moment of the machine weighs on all three alike.
        if (!bareSeries.add(startOnce({bare})) || !splashSeries.add(startOnce(splash)) ||
            !mainSeries.add(startOnce(noSplash)))
            return 1;
    }
    std::filesystem::remove_all(settingsFolder);

    const double bareMapped = bench::median(bareSeries.mapped);
    const double barePainted = bench::median(bareSeries.painted);
    const double splashPainted = bench::median(splashSeries.painted);
    const double mainMapped = bench::median(mainSeries.mapped);
    std::printf("medians over %d runs, from process start (ms):\n", runs);
    std::printf("  bare QApplication + QLabel: mapped %.1f, first frame painted %.1f\n", bareMapped,
                barePainted);
    std::printf("  platine, splash:            mapped %.1f, first frame painted %.1f\n",
                bench::median(splashSeries.mapped), splashPainted);
    std::printf("  platine --no-splash:        main window mapped %.1f, painted %.1f\n", mainMapped,
                bench::median(mainSeries.painted));
    std::printf("ratio, splash first frame painted / bare first frame painted: %.2f\n",
                splashPainted / barePainted);
    std::printf("ratio, --no-splash main window mapped / bare window mapped:  %.2f\n",
                mainMapped / bareMapped);
    // Less sensitive than the times above to other work on the machine: the processor time each
    // run took, to its exit just after its first frame.
    const double bareCpu = bench::median(bareSeries.cpu);
    std::printf("processor time to exit, medians (ms): bare %.1f, splash %.1f (%.2f), "
                "--no-splash %.1f (%.2f)\n",
                bareCpu, bench::median(splashSeries.cpu), bench::median(splashSeries.cpu) / bareCpu,
                bench::median(mainSeries.cpu), bench::median(mainSeries.cpu) / bareCpu);
    return 0;
}
