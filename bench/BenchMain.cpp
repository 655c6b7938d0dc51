// Runs every benchmark, then prints one table: each of Tessarin's figures as a
// ratio against its floor, both measured in turns in this run.

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

using Counters = std::map<std::string, double>;

// Keeps each benchmark's counters while the console shows the runs.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) {
                continue;
            }
            Counters& counters = results[run.run_name.function_name];
            for (const auto& [name, counter] : run.counters) {
                counters[name] = counter.value;
            }
        }
    }
    std::map<std::string, Counters> results;
};

struct Row {
    const char* what;
    const char* benchmark;
    const char* unit;
    double goal;
};

const std::vector<Row> Rows = {
    {"HOST TO IP click on localhost / getaddrinfo + format + the same widget updates", "HostToIp",
     "us", 1.10},
    {"IP TO HOST click on 127.0.0.1 / getnameinfo + the same widget update", "IpToHost", "us",
     1.10},
    {"IsIPAddress + IPToLong / inet_pton, 1,000 addresses", "AddressParsing", "us", 2.00},
    {"start-up to window shown / bare window of the same size, whole processes",
     "Startup/BareWindow", "ms", 1.15},
};

bool PrintTable(const std::map<std::string, Counters>& results)
{
    bool all = true;
    std::printf("\n| measure (medians) | Tessarin | floor | ratio | goal | met |\n"
                "|---|---|---|---|---|---|\n");
    for (const Row& row : Rows) {
        const auto found = results.find(row.benchmark);
        if (found == results.end()) {
            std::printf("| %s | not measured | | | <= %.2f | no |\n", row.what, row.goal);
            all = false;
            continue;
        }
        const Counters& c = found->second;
        const bool met = c.at("ratio") <= row.goal;
        all = all && met;
        std::printf("| %s | %.1f %s | %.1f %s | %.2f | <= %.2f | %s |\n", row.what, c.at("ours"),
                    row.unit, c.at("floor"), row.unit, c.at("ratio"), row.goal, met ? "yes" : "no");
    }
    if (const auto click = results.find("PictureClick"); click != results.end()) {
        std::printf("| (no goal) Qt's delivery of a click, on a picture, with no command | %.1f us "
                    "| | | | |\n",
                    click->second.at("ours"));
    }
    if (const auto text = results.find("Startup/WindowWithText"); text != results.end()) {
        std::printf("| (no goal) start-up / bare window drawing one caption | %.1f ms | %.1f ms | "
                    "%.2f | | |\n",
                    text->second.at("ours"), text->second.at("floor"), text->second.at("ratio"));
    }
    if (const auto startup = results.find("Startup/BareWindow"); startup != results.end()) {
        const double ours = startup->second.at("ours_peak_kib") / 1024;
        const double floor = startup->second.at("floor_peak_kib") / 1024;
        const bool met = ours - floor <= 3.0;
        all = all && met;
        std::printf("| peak resident memory at start-up / bare window | %.1f MiB | %.1f MiB | "
                    "+%.1f MiB | <= +3 MiB | %s |\n",
                    ours, floor, ours - floor, met ? "yes" : "no");
    }
    if (const auto parsing = results.find("AddressParsing"); parsing != results.end()) {
        const double allocations = parsing->second.at("allocations_per_call");
        const bool met = allocations == 0;
        all = all && met;
        std::printf("| allocations per IsIPAddress + IPToLong | %g | | | 0 | %s |\n", allocations,
                    met ? "yes" : "no");
    }
    std::printf("\n%s\n", all ? "Every goal holds." : "Some goal is missed.");
    return all;
}

} // namespace

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    QApplication application(argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    PrintTable(collector.results);
    return 0;
}
