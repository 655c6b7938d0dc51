#pragma once

// Measures Tessarin against its floor in alternation, so that whatever else
// the machine does weighs on both alike; the ratio is of the two medians.

#include <algorithm>
#include <chrono>
#include <vector>

#include <benchmark/benchmark.h>

class Paired {
public:
    template <typename Work> void Ours(Work&& work) { ours_.push_back(Time(work)); }
    template <typename Work> void Floor(Work&& work) { floor_.push_back(Time(work)); }

    // Counters in microseconds: "ours", "floor", and their ratio.
    void Report(benchmark::State& state, double scale = 1e6)
    {
        const double ours = Median(ours_) * scale;
        const double floor = Median(floor_) * scale;
        state.counters["ours"] = ours;
        state.counters["floor"] = floor;
        state.counters["ratio"] = ours / floor;
    }

private:
    template <typename Work> static double Time(Work& work)
    {
        const auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    static double Median(std::vector<double> seconds)
    {
        if (seconds.empty()) {
            return 0;
        }
        const auto middle = seconds.begin() + static_cast<std::ptrdiff_t>(seconds.size() / 2);
        std::nth_element(seconds.begin(), middle, seconds.end());
        return *middle;
    }

    std::vector<double> ours_;
    std::vector<double> floor_;
};
