// Start-up as whole processes, in turns: Tessarin until its window is shown,
// and a bare window of the same size shown by the same harness.

#include "Paired.h"

#include <algorithm>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Runs a program to its end; answers its peak resident memory in KiB as it
// reports it, or -1 when it failed.
long Launch(const char* program)
{
    int output[2];
    if (::pipe2(output, O_CLOEXEC) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    char* arguments[] = {const_cast<char*>(program), nullptr};
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, program, &actions, nullptr, arguments, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    std::string text;
    char buffer[256];
    for (ssize_t got; (got = ::read(output[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(output[0]);
    int status = 0;
    if (spawned != 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return -1;
    }
    const std::size_t at = text.find("peak_rss_kib ");
    return at == std::string::npos ? -1 : std::stol(text.substr(at + 13));
}

double Median(std::vector<long> values)
{
    std::nth_element(values.begin(),
                     values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return static_cast<double>(values[values.size() / 2]);
}

void Startup(benchmark::State& state, const char* floorProgram)
{
    Paired paired;
    std::vector<long> oursPeak;
    std::vector<long> floorPeak;
    for (auto _ : state) {
        paired.Ours([&] { oursPeak.push_back(Launch(TESSARIN_STARTUP_PROGRAM)); });
        paired.Floor([&] { floorPeak.push_back(Launch(floorProgram)); });
    }
    if (std::count(oursPeak.begin(), oursPeak.end(), -1) +
            std::count(floorPeak.begin(), floorPeak.end(), -1) >
        0) {
        state.SkipWithError("a start-up program did not show its window");
        return;
    }
    paired.Report(state, 1e3);
    state.counters["ours_peak_kib"] = Median(oursPeak);
    state.counters["floor_peak_kib"] = Median(floorPeak);
}

} // namespace

BENCHMARK_CAPTURE(Startup, BareWindow, BARE_STARTUP_PROGRAM)
    ->Iterations(41)
    ->Unit(benchmark::kMillisecond);
// Not a goal: how Tessarin compares with a window that draws just one caption.
BENCHMARK_CAPTURE(Startup, WindowWithText, TEXT_STARTUP_PROGRAM)
    ->Iterations(21)
    ->Unit(benchmark::kMillisecond);
