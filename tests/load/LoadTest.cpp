// Ten thousand clicks of each lookup over the real system: sessions balance,
// memory stays put and a click costs the same at the end as at the start.

#include "app/WindowHarness.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <unistd.h>
#include <vector>

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace tessarin::testing {
namespace {

constexpr int Clicks = 10000;
constexpr int Slice = 1000;
constexpr int WarmUp = 100;

long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

double MedianMicroseconds(std::vector<qint64> nanoseconds)
{
    const auto middle = nanoseconds.begin() + static_cast<std::ptrdiff_t>(nanoseconds.size() / 2);
    std::nth_element(nanoseconds.begin(), middle, nanoseconds.end());
    return static_cast<double>(*middle) / 1000.0;
}

TEST(Load, TenThousandClicksOfEachLookup)
{
    const std::unique_ptr<Platform> platform = MakeSystemPlatform();
    WindowHarness harness;
    harness.Open(*platform);

    struct Command {
        const char* label;
        const char* input;
        const char* name;
        std::vector<qint64> times;
    };
    std::vector<Command> commands = {{"Label1", "localhost", "HOST TO IP", {}},
                                     {"Label4", "127.0.0.1", "IP TO HOST", {}}};
    long residentAfterWarmUp = 0;
    QElapsedTimer timer;
    for (int click = 0; click < Clicks; ++click) {
        for (Command& command : commands) {
            harness.Text1()->setText(command.input);
            timer.start();
            harness.Click(command.label);
            command.times.push_back(timer.nsecsElapsed());
        }
        if (click + 1 == WarmUp) {
            residentAfterWarmUp = ResidentBytes();
        }
    }
    const long growth = ResidentBytes() - residentAfterWarmUp;

    EXPECT_FALSE(harness.Text2()->toPlainText().isEmpty()) << "the last IP TO HOST click answered";
    EXPECT_EQ(platform->WSACleanup(), 0) << "the window's own session is open";
    EXPECT_EQ(platform->WSACleanup(), -1) << "and no other";
    EXPECT_LT(growth, 1 << 20) << "resident memory grew by " << growth << " bytes";
    std::printf("resident memory growth after %d warm-up clicks: %ld KiB\n", WarmUp, growth / 1024);
    for (const Command& command : commands) {
        const double first =
            MedianMicroseconds({command.times.begin(), command.times.begin() + Slice});
        const double last = MedianMicroseconds({command.times.end() - Slice, command.times.end()});
        std::printf("%s: median per click, first %d: %.1f us, last %d: %.1f us (ratio %.2f)\n",
                    command.name, Slice, first, Slice, last, last / first);
        EXPECT_LT(last, first * 1.5 + 20) << command.name << " slows down as clicks add up";
    }
}

} // namespace
} // namespace tessarin::testing
