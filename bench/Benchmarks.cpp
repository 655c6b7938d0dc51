// Tessarin's figures, each measured in turns with its floor in one run, so
// that whatever else the machine does weighs on both alike, and one table of
// the ratios of their medians at the end.

#include "WindowHarness.h"
#include "resolver/AddressText_p.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <netdb.h>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

#include <QApplication>
#include <QEventLoop>
#include <QThread>

#include <benchmark/benchmark.h>

extern char** environ;

// Every allocation in this program is counted, so the parsers can be shown to make none.
namespace {
std::atomic<long> allocations{0};
}
extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* malloc(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

namespace {

using tessarin::testing::WindowHarness;

template <typename T> double Median(std::vector<T> values)
{
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return values.empty() ? 0 : static_cast<double>(*middle);
}

// Times Tessarin's work and its floor's in turns; reports both medians
// (seconds times `scale`) and their ratio.
template <typename Ours, typename Floor>
void Paired(benchmark::State& state, Ours ours, Floor floor, double scale = 1e6)
{
    std::array<std::vector<double>, 2> seconds;
    for (auto _ : state) {
        for (int side = 0; side < 2; ++side) {
            const auto start = std::chrono::steady_clock::now();
            side == 0 ? ours() : floor();
            seconds[side].push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
    }
    state.counters["ours"] = Median(seconds[0]) * scale;
    state.counters["floor"] = Median(seconds[1]) * scale;
    state.counters["ratio"] = Median(seconds[0]) / Median(seconds[1]);
}

QString GetAddrInfo(const char* name)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::array<char, INET_ADDRSTRLEN> text{};
    if (::getaddrinfo(name, nullptr, &hints, &found) == 0) {
        ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, text.data(),
                    text.size());
        ::freeaddrinfo(found);
    }
    return QString::fromLatin1(text.data());
}

QString GetNameInfo(const char* address)
{
    sockaddr_in inet{};
    inet.sin_family = AF_INET;
    ::inet_pton(AF_INET, address, &inet.sin_addr);
    std::array<char, NI_MAXHOST> host{};
    ::getnameinfo(reinterpret_cast<sockaddr*>(&inet), sizeof inet, host.data(), host.size(),
                  nullptr, 0, NI_NAMEREQD);
    return QString::fromLocal8Bit(host.data());
}

// A click through the real window, against the bare system call plus the
// same widget updates the click makes.
void Click(benchmark::State& state, const char* label, const char* input,
           QString (*floor)(const char*))
{
    const std::unique_ptr<tessarin::Platform> platform = tessarin::MakeSystemPlatform();
    const WindowHarness open(*platform);
    const QString text = QString::fromLatin1(input);
    Paired(
        state, [&] { open.Run(label, text); },
        [&] {
            open.Text1()->setText(text);
            open.Text2()->setPlainText(floor(input));
            QCoreApplication::processEvents();
        });
    if (!open.exposed || open.Run(label, text) != floor(input)) {
        state.SkipWithError("the click did not answer as the system does");
    }
}

// What a click costs Qt to deliver, on a picture, where it runs nothing.
void PictureClick(benchmark::State& state)
{
    const std::unique_ptr<tessarin::Platform> platform = tessarin::MakeSystemPlatform();
    const WindowHarness open(*platform);
    Paired(
        state, [&] { open.ClickAt(open.Find("Image1")->geometry().topLeft()); }, [] {});
}

// A bare round trip to a Qt worker thread and back, as a lookup's hand-off
// makes it: a queued call there, one back, and a local event loop waiting.
void RoundTrip(benchmark::State& state)
{
    QThread thread;
    QObject worker;
    worker.moveToThread(&thread);
    thread.start();
    Paired(
        state,
        [&] {
            QEventLoop loop;
            QMetaObject::invokeMethod(
                &worker,
                [&loop] {
                    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
                },
                Qt::QueuedConnection);
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        },
        [] {});
    thread.quit();
    thread.wait();
}

// 1,000 addresses, always the same: plain ones, and some with blanks or leading zeros.
void AddressParsing(benchmark::State& state)
{
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::string> addresses;
    std::vector<QString> texts;
    for (int i = 0; i < 1000; ++i) {
        std::array<char, 32> text{};
        std::snprintf(text.data(), text.size(),
                      i % 7 == 5   ? "%d. %d .%d. %d "
                      : i % 7 == 6 ? "00%d.0%d.%d.00%d"
                                   : "%d.%d.%d.%d",
                      byte(random), byte(random), byte(random), byte(random));
        addresses.emplace_back(text.data());
        texts.push_back(QString::fromLatin1(text.data()));
    }
    long allocated = 0;
    Paired(
        state,
        [&] {
            const long before = allocations.load();
            for (const QString& text : texts) {
                benchmark::DoNotOptimize(tessarin::detail::IsIPAddress(text) &&
                                         tessarin::detail::IPToLong(text) != 0);
            }
            allocated += allocations.load() - before;
        },
        [&] {
            for (const std::string& address : addresses) {
                in_addr value{};
                benchmark::DoNotOptimize(::inet_pton(AF_INET, address.c_str(), &value));
            }
        });
    state.counters["allocations"] =
        static_cast<double>(allocated) / static_cast<double>(state.iterations() * 1000);
}

// Runs a start-up program to its end; answers the peak resident memory it reports, in KiB.
long Launch(const char* program, const char* argument)
{
    std::array<int, 2> output{};
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    pid_t child = 0;
    std::array<char*, 3> arguments{const_cast<char*>(program), const_cast<char*>(argument)};
    const bool spawned =
        ::pipe(output.data()) == 0 &&
        ::posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO) == 0 &&
        ::posix_spawn(&child, program, &actions, nullptr, arguments.data(), environ) == 0;
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    std::string text(255, '\0');
    text.resize(
        static_cast<std::size_t>(std::max<ssize_t>(0, ::read(output[0], text.data(), 255))));
    ::close(output[0]);
    int status = 0;
    const bool ended = spawned && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                       WEXITSTATUS(status) == 0;
    return ended && text.rfind("peak_rss_kib ", 0) == 0 ? std::stol(text.substr(13)) : -1;
}

void Startup(benchmark::State& state, const char* floorArgument)
{
    std::vector<long> ours;
    std::vector<long> floors;
    Paired(
        state, [&] { ours.push_back(Launch(TESSARIN_STARTUP, nullptr)); },
        [&] { floors.push_back(Launch(BARE_STARTUP, floorArgument)); }, 1e3);
    if (std::min(*std::min_element(ours.begin(), ours.end()),
                 *std::min_element(floors.begin(), floors.end())) < 0) {
        state.SkipWithError("a start-up program did not show its window");
    }
    state.counters["ours_mib"] = Median(ours) / 1024;
    state.counters["floor_mib"] = Median(floors) / 1024;
}

// Keeps each benchmark's counters while the console shows the runs. A run
// that failed (SkipWithError) reports none, and so has no entry.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            for (const auto& [name, counter] : run.counters) {
                results[run.run_name.function_name][name] = counter.value;
            }
        }
    }
    std::map<std::string, std::map<std::string, double>> results;
};

} // namespace

BENCHMARK_CAPTURE(Click, HostToIp, "Label1", "localhost", GetAddrInfo)->MinTime(1.0);
BENCHMARK_CAPTURE(Click, IpToHost, "Label4", "127.0.0.1", GetNameInfo)->MinTime(1.0);
BENCHMARK(PictureClick);
BENCHMARK(RoundTrip)->MinTime(1.0);
BENCHMARK(AddressParsing)->MinTime(1.0);
BENCHMARK_CAPTURE(Startup, BareWindow, nullptr)->Iterations(41);
BENCHMARK_CAPTURE(Startup, WindowWithText, "caption")->Iterations(21);

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    QApplication application(argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto& r = collector.results;
    // The one goal on time: the hand-off to the lookup thread and back costs a
    // click at most this much above what the same work costs without it.
    constexpr double ClickBudgetUs = 150;
    std::printf(
        "\n| measure (medians) | Tessarin | floor | ratio | above the floor | goal | met |\n"
        "|---|---|---|---|---|---|---|\n");
    for (const auto& [what, name, unit, budget] :
         std::vector<std::tuple<const char*, const char*, const char*, double>>{
             {"HOST TO IP click on localhost / getaddrinfo + format + the same widget updates",
              "Click/HostToIp", "us", ClickBudgetUs},
             {"IP TO HOST click on 127.0.0.1 / getnameinfo + the same widget update",
              "Click/IpToHost", "us", ClickBudgetUs},
             {"IsIPAddress + IPToLong, as IP TO HOST calls them / inet_pton, 1,000 addresses",
              "AddressParsing", "us", 0},
             {"start-up to window shown / bare window of the same size, whole processes",
              "Startup/BareWindow", "ms", 0},
             {"start-up / bare window drawing one caption", "Startup/WindowWithText", "ms", 0},
             {"Qt's delivery of a click, on a picture, with no command", "PictureClick", "us", 0},
             {"a bare round trip to a Qt worker thread and back", "RoundTrip", "us", 0},
         }) {
        if (!r.contains(name)) {
            std::printf("| %s | failed | | | | | |\n", what);
            continue;
        }
        std::map<std::string, double>& c = r[name];
        if (c["floor"] < 0.05) { // no floor to compare with
            std::printf("| %s | %.1f %s | | | | | |\n", what, c["ours"], unit);
            continue;
        }
        const double above = c["ours"] - c["floor"];
        std::printf("| %s | %.1f %s | %.1f %s | %.2f | %+.1f %s | ", what, c["ours"], unit,
                    c["floor"], unit, c["ratio"], above, unit);
        if (budget > 0) {
            std::printf("<= +%.0f %s | %s |\n", budget, unit, above <= budget ? "yes" : "no");
        } else {
            std::printf("| |\n");
        }
    }
    if (r.contains("Startup/BareWindow")) {
        std::map<std::string, double>& memory = r["Startup/BareWindow"];
        std::printf("| peak resident memory at start-up / bare window | %.1f MiB | %.1f MiB "
                    "| %.2f | %+.1f MiB | | |\n",
                    memory["ours_mib"], memory["floor_mib"],
                    memory["ours_mib"] / memory["floor_mib"],
                    memory["ours_mib"] - memory["floor_mib"]);
    }
    const double allocated = r["AddressParsing"]["allocations"];
    std::printf("| allocations per IsIPAddress + IPToLong | %g | | | | 0 | %s |\n", allocated,
                allocated == 0 ? "yes" : "no");
    benchmark::Shutdown();
    return 0;
}
