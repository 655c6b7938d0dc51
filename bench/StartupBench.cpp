// Start-up as whole processes: Tessarin until its window is shown, against a
// bare window of the same size shown by the same harness.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>

#include <benchmark/benchmark.h>

extern char** environ;

namespace {

void Startup(benchmark::State& state, const char* program)
{
    char* arguments[] = {const_cast<char*>(program), nullptr};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pid_t child = 0;
        if (::posix_spawn(&child, program, nullptr, nullptr, arguments, environ) != 0) {
            state.SkipWithError("cannot start the program");
            break;
        }
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program did not show its window");
            break;
        }
        state.counters["peak_rss_kib"] = static_cast<double>(usage.ru_maxrss);
    }
}

} // namespace

// One process per repetition; the table reads the medians.
BENCHMARK_CAPTURE(Startup, Tessarin, TESSARIN_STARTUP_PROGRAM)
    ->UseManualTime()->Iterations(1)->Repetitions(41)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Startup, BareWindow, BARE_STARTUP_PROGRAM)
    ->UseManualTime()->Iterations(1)->Repetitions(41)->Unit(benchmark::kMillisecond);
