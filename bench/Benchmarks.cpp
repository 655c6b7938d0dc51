// Tessarin's figures, each measured in turns with its floor in one run, and
// one table of their ratios at the end.

#include "Paired.h"
#include "WindowHarness.h"
#include "resolver/AddressText_p.h"

#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <netdb.h>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

#include <QApplication>

extern char** environ;

// Every allocation in this program is counted, so the parsers can be shown to make none.
namespace {
std::atomic<long> allocations{0};
}
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* malloc(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* realloc(void* pointer, std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(pointer, size);
}
}

namespace {

using tessarin::testing::WindowHarness;

// A click through the real window, against the bare system call plus the
// same widget update the click makes.
void Click(benchmark::State& state, const char* label, const char* input,
           QString (*floor)(const char*))
{
    const std::unique_ptr<tessarin::Platform> platform = tessarin::MakeSystemPlatform();
    const WindowHarness open(*platform);
    Paired paired;
    for (auto _ : state) {
        paired.Turn([&] { open.Run(label, QString::fromLatin1(input)); },
                    [&] {
                        open.Text1()->setText(QString::fromLatin1(input));
                        open.Text2()->setPlainText(floor(input));
                        QCoreApplication::processEvents();
                    });
    }
    if (!open.exposed || open.Run(label, QString::fromLatin1(input)) != floor(input)) {
        state.SkipWithError("the click did not answer as the system does");
    }
    paired.Report(state);
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

// What a click costs Qt to deliver, on a picture, where it runs nothing.
void PictureClick(benchmark::State& state)
{
    const std::unique_ptr<tessarin::Platform> platform = tessarin::MakeSystemPlatform();
    const WindowHarness open(*platform);
    Paired paired;
    for (auto _ : state) {
        paired.Turn([&] { open.ClickAt(open.Find("Image1")->geometry().topLeft()); }, [] {});
    }
    paired.Report(state);
}

// 1,000 addresses, always the same: plain ones, and some with blanks or leading zeros.
void AddressParsing(benchmark::State& state)
{
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::string> addresses;
    std::vector<QString> texts;
    for (int i = 0; i < 1000; ++i) {
        const char* format = i % 7 == 5   ? "%d. %d .%d. %d "
                             : i % 7 == 6 ? "00%d.0%d.%d.00%d"
                                          : "%d.%d.%d.%d";
        std::array<char, 32> text{};
        std::snprintf(text.data(), text.size(), format, byte(random), byte(random), byte(random),
                      byte(random));
        addresses.emplace_back(text.data());
        texts.push_back(QString::fromLatin1(text.data()));
    }
    long allocated = 0;
    Paired paired;
    for (auto _ : state) {
        const long before = allocations.load();
        paired.Turn(
            [&] {
                for (const QString& text : texts) {
                    benchmark::DoNotOptimize(tessarin::detail::IsIPAddress(text) &&
                                             tessarin::detail::IPToLong(text) != 0);
                }
            },
            [&] {
                for (const std::string& address : addresses) {
                    in_addr value{};
                    benchmark::DoNotOptimize(::inet_pton(AF_INET, address.c_str(), &value));
                }
            });
        allocated += allocations.load() - before;
    }
    paired.Report(state);
    state.counters["allocations"] = static_cast<double>(allocated) / (state.iterations() * 1000.0);
}

// Runs a start-up program to its end; answers the peak resident memory it reports, in KiB.
long Launch(const std::vector<const char*>& command)
{
    std::array<int, 2> output{};
    if (::pipe(output.data()) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    std::vector<char*> arguments;
    for (const char* argument : command) {
        arguments.push_back(const_cast<char*>(argument));
    }
    arguments.push_back(nullptr);
    pid_t child = 0;
    const int spawned =
        ::posix_spawn(&child, command[0], &actions, nullptr, arguments.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    std::string text(256, '\0');
    text.resize(
        static_cast<std::size_t>(std::max<ssize_t>(0, ::read(output[0], text.data(), 255))));
    ::close(output[0]);
    int status = 0;
    const bool ended = spawned == 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                       WEXITSTATUS(status) == 0;
    return ended && text.rfind("peak_rss_kib ", 0) == 0 ? std::stol(text.substr(13)) : -1;
}

void Startup(benchmark::State& state, std::vector<const char*> floor)
{
    Paired paired;
    std::vector<long> ours;
    std::vector<long> floors;
    for (auto _ : state) {
        paired.Turn([&] { ours.push_back(Launch({TESSARIN_STARTUP})); },
                    [&] { floors.push_back(Launch(floor)); });
    }
    if (std::count(ours.begin(), ours.end(), -1) + std::count(floors.begin(), floors.end(), -1)) {
        state.SkipWithError("a start-up program did not show its window");
    }
    paired.Report(state, 1e3);
    state.counters["ours_mib"] = Paired::Median(ours) / 1024;
    state.counters["floor_mib"] = Paired::Median(floors) / 1024;
}

// Keeps each benchmark's counters while the console shows the runs.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            for (const auto& [name, counter] : run.counters) {
                results[run.run_name.function_name][name] = run.error_occurred ? -1 : counter.value;
            }
        }
    }
    std::map<std::string, std::map<std::string, double>> results;
};

} // namespace

BENCHMARK_CAPTURE(Click, HostToIp, "Label1", "localhost", GetAddrInfo)->MinTime(1.0);
BENCHMARK_CAPTURE(Click, IpToHost, "Label4", "127.0.0.1", GetNameInfo)->MinTime(1.0);
BENCHMARK(PictureClick);
BENCHMARK(AddressParsing)->MinTime(1.0);
BENCHMARK_CAPTURE(Startup, BareWindow, {BARE_STARTUP})->Iterations(41);
BENCHMARK_CAPTURE(Startup, WindowWithText, {BARE_STARTUP, "caption"})->Iterations(21);

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    QApplication application(argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto& r = collector.results;
    const auto line = [](const char* what, double ours, double floor, const char* unit,
                         const char* ratio, double value, double goal) {
        std::printf("| %s | %.1f %s | %.1f %s | %s%.2f | %s | %s |\n", what, ours, unit, floor,
                    unit, ratio, value, goal > 0 ? QByteArray::number(goal).constData() : "",
                    goal <= 0       ? ""
                    : value <= goal ? "yes"
                                    : "no");
    };
    const auto ratio = [&](const char* what, const char* name, const char* unit, double goal) {
        std::map<std::string, double>& c = r[name];
        line(what, c["ours"], c["floor"], unit, "", c["ratio"], goal);
    };
    std::printf("\n| measure (medians) | Tessarin | floor | ratio | goal | met |\n"
                "|---|---|---|---|---|---|\n");
    ratio("HOST TO IP click on localhost / getaddrinfo + format + the same widget updates",
          "Click/HostToIp", "us", 1.10);
    ratio("IP TO HOST click on 127.0.0.1 / getnameinfo + the same widget update", "Click/IpToHost",
          "us", 1.10);
    ratio("IsIPAddress + IPToLong / inet_pton, 1,000 addresses", "AddressParsing", "us", 2.00);
    ratio("start-up to window shown / bare window of the same size, whole processes",
          "Startup/BareWindow", "ms", 1.15);
    ratio("(no goal) Qt's delivery of a click, on a picture, with no command", "PictureClick", "us",
          0);
    ratio("(no goal) start-up / bare window drawing one caption", "Startup/WindowWithText", "ms",
          0);
    std::map<std::string, double>& startup = r["Startup/BareWindow"];
    line("peak resident memory at start-up / bare window (goal in MiB above the floor)",
         startup["ours_mib"], startup["floor_mib"], "MiB", "+",
         startup["ours_mib"] - startup["floor_mib"], 3);
    std::printf("| allocations per IsIPAddress + IPToLong | %g | | | 0 | %s |\n",
                r["AddressParsing"]["allocations"],
                r["AddressParsing"]["allocations"] == 0 ? "yes" : "no");
    benchmark::Shutdown();
    return 0;
}
