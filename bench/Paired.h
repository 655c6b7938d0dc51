#pragma once

// Measures Tessarin against its floor in alternation, so that whatever else
// the machine does weighs on both alike; the ratio is of the two medians.

#include <algorithm>
#include <chrono>
#include <vector>

#include <benchmark/benchmark.h>

class Paired {
public:
    template <typename Ours, typename Floor> void Turn(Ours&& ours, Floor&& floor)
    {
        ours_.push_back(Time(ours));
        floor_.push_back(Time(floor));
    }

    // Counters "ours" and "floor" (seconds times `scale`), and their "ratio".
    void Report(benchmark::State& state, double scale = 1e6)
    {
        state.counters["ours"] = Median(ours_) * scale;
        state.counters["floor"] = Median(floor_) * scale;
        state.counters["ratio"] = Median(ours_) / Median(floor_);
    }

    template <typename T> static double Median(std::vector<T> values)
    {
        if (values.empty()) {
            return 0;
        }
        const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
        std::nth_element(values.begin(), middle, values.end());
        return static_cast<double>(*middle);
    }

private:
    template <typename Work> static double Time(Work& work)
    {
        const auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    std::vector<double> ours_;
    std::vector<double> floor_;
};
