// Time from starting `platine-cli heure` to the clock frame's 8 bytes at the board's end of a
// pseudo-terminal, beside the same 8 bytes written by printf into the same line. Prints the
// medians over the runs and their ratio. Not a test: run by scripts/bench.sh.
//
//   bench_cli_clock PLATINE-CLI [runs]     (default 20 runs)

#include "sim/pseudo_terminal.h"

#include "child_runs.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

// 23/11/2007 14:37:52, a Friday.
const unsigned char kFrame[8] = {0x41, 0x14, 0x37, 0x52, 0x23, 0x11, 0x07, 0x06};
const char *kPrintfFormat = "\\101\\024\\067\\122\\043\\021\\007\\006";
constexpr int kTimeoutMs = 10000;

using Clock = std::chrono::steady_clock;

// Starts the program with its standard output on `outputPath` (or inherited when empty), then
// reads the 8 bytes at the master; milliseconds from the start, or a negative value on failure.
double timeToFrame(int master, const std::vector<std::string> &arguments,
                   const std::string &outputPath)
{
    std::vector<char *> argv = bench::spawnArguments(arguments);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!outputPath.empty())
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                         O_WRONLY | O_NOCTTY, 0);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::strerror(spawned));
        return -1;
    }

    unsigned char received[sizeof kFrame];
    size_t count = 0;
    double elapsed = -1;
    while (count < sizeof kFrame) {
        pollfd waiting{master, POLLIN, 0};
        const int remaining =
            kTimeoutMs - static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              Clock::now() - start)
                                              .count());
        if (remaining <= 0 || poll(&waiting, 1, remaining) <= 0)
            break;
        const ssize_t n = read(master, received + count, sizeof kFrame - count);
        if (n > 0)
            count += static_cast<size_t>(n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO)
            break;
    }
    if (count == sizeof kFrame && std::memcmp(received, kFrame, sizeof kFrame) == 0)
        elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    else
        std::fprintf(stderr, "%s: %zu of 8 bytes, or not the frame\n", argv[0], count);

    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s ended with status %d\n", argv[0], status);
        elapsed = -1;
    }
    return elapsed;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s PLATINE-CLI [runs]\n", argv[0]);
        return 2;
    }
    const std::string cli = argv[1];
    const int runs = bench::runsArgument(argc == 3 ? argv[2] : nullptr, 20);
    if (runs == 0)
        return 2;

    const platine::sim::PseudoTerminal terminal = platine::sim::openPseudoTerminal();
    if (terminal.master < 0) {
        std::fprintf(stderr, "%s\n", terminal.error.toLocal8Bit().constData());
        return 1;
    }
    const int master = terminal.master;
    const std::string slave = terminal.slavePath.toStdString();
    // Held open so that the line does not hang up between runs.
    const int slaveHold = open(slave.c_str(), O_RDWR | O_NOCTTY);

    std::string folderTemplate =
        (std::filesystem::temp_directory_path() / "platine-bench-XXXXXX").string();
    const char *settingsFolder = mkdtemp(folderTemplate.data());
    if (!settingsFolder) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string settings = std::string(settingsFolder) + "/param.ini";

    std::vector<double> cliTimes;
    std::vector<double> printfTimes;
    for (int run = 0; run < runs; ++run) {
        const double cliMs = timeToFrame(master,
                                         {cli, "heure", "--port", slave, "--settings", settings,
                                          "--date", "2007-11-23 14:37:52", "--attente", "0"},
                                         {});
        const double printfMs = timeToFrame(master, {"printf", kPrintfFormat}, slave);
        if (cliMs < 0 || printfMs < 0)
            return 1;
        cliTimes.push_back(cliMs);
        printfTimes.push_back(printfMs);
    }
    close(slaveHold);
    close(master);
    rmdir(settingsFolder);

    const double cliMedian = bench::median(cliTimes);
    const double printfMedian = bench::median(printfTimes);
    std::printf("platine-cli heure, start to 8 bytes at the pty master: median %.2f ms (%d runs)\n",
                cliMedian, runs);
    std::printf("printf of the same frame to the pty:                 median %.2f ms (%d runs)\n",
                printfMedian, runs);
    std::printf("ratio: %.1f\n", cliMedian / printfMedian);
    return 0;
}
