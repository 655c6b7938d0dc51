// Runs every benchmark, then prints one table: each of Tessarin's figures as a
// ratio against its floor, both measured in this run.

#include <QApplication>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

struct Figure {
    double time = 0;    // median real time, in the benchmark's unit
    std::string unit;
    std::map<std::string, double> counters;
};

// Keeps the median of each benchmark (or its only run) while the console shows them all.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || (run.run_type == Run::RT_Aggregate && !median) ||
                (run.repetitions > 1 && !median)) {
                continue;
            }
            Figure& figure = figures[run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args)];
            figure.time = run.GetAdjustedRealTime();
            figure.unit = benchmark::GetTimeUnitString(run.time_unit);
            for (const auto& [name, counter] : run.counters) {
                figure.counters[name] = counter.value;
            }
        }
    }
    std::map<std::string, Figure> figures;
};

struct Row {
    const char* what;
    const char* ours;
    const char* floor;
    double goal;
};

const std::vector<Row> Rows = {
    {"HOST TO IP click on localhost / getaddrinfo + format + same widget updates",
     "HostToIpClick", "HostToIpFloor", 1.10},
    {"IP TO HOST click on 127.0.0.1 / getnameinfo + same widget update", "IpToHostClick",
     "IpToHostFloor", 1.10},
    {"IsIPAddress + IPToLong / inet_pton, 1,000 addresses", "IsIPAddressAndIPToLong", "InetPton",
     2.00},
    {"start-up to window shown / bare window, whole processes, medians of 41",
     "Startup/Tessarin", "Startup/BareWindow", 1.15},
};

void PrintTable(const std::map<std::string, Figure>& figures)
{
    std::printf("\n| measure | Tessarin | floor | ratio | goal | met |\n|---|---|---|---|---|---|\n");
    bool all = true;
    for (const Row& row : Rows) {
        const auto ours = figures.find(row.ours);
        const auto floor = figures.find(row.floor);
        if (ours == figures.end() || floor == figures.end()) {
            std::printf("| %s | not measured | | | <= %.2f | no |\n", row.what, row.goal);
            all = false;
            continue;
        }
        const double ratio = ours->second.time / floor->second.time;
        all = all && ratio <= row.goal;
        std::printf("| %s | %.3g %s | %.3g %s | %.2f | <= %.2f | %s |\n", row.what,
                    ours->second.time, ours->second.unit.c_str(), floor->second.time,
                    floor->second.unit.c_str(), ratio, row.goal, ratio <= row.goal ? "yes" : "no");
    }
    const auto tessarin = figures.find("Startup/Tessarin");
    const auto bare = figures.find("Startup/BareWindow");
    if (tessarin != figures.end() && bare != figures.end()) {
        const double extra =
            (tessarin->second.counters.at("peak_rss_kib") - bare->second.counters.at("peak_rss_kib")) /
            1024.0;
        all = all && extra <= 3.0;
        std::printf("| peak resident memory at start-up, above the bare window | %.1f MiB | %.1f MiB "
                    "| +%.2f MiB | <= +3 MiB | %s |\n",
                    tessarin->second.counters.at("peak_rss_kib") / 1024.0,
                    bare->second.counters.at("peak_rss_kib") / 1024.0, extra, extra <= 3.0 ? "yes" : "no");
    }
    const auto parse = figures.find("IsIPAddressAndIPToLong");
    if (parse != figures.end()) {
        const double allocations = parse->second.counters.at("allocations_per_call");
        all = all && allocations == 0;
        std::printf("| allocations per IsIPAddress + IPToLong call | %g | | | 0 | %s |\n", allocations,
                    allocations == 0 ? "yes" : "no");
    }
    std::printf("\n%s\n", all ? "every goal holds" : "some goal is missed");
}

} // namespace

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    QApplication application(argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    PrintTable(collector.figures);
    return 0;
}
