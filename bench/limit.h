#pragma once

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <chrono>

// Times every iteration of `body` by hand and reports the mean in milliseconds beside the
// figure's limit and their ratio (below 1 is within the limit). `body` returns the limit of
// its iteration in milliseconds, or a negative value to keep the fixed `limitMs`.
template <typename Body> void timeAgainstLimit(benchmark::State& state, double limitMs, Body body)
{
    double totalMs = 0, totalLimitMs = 0;
    int runs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double limit = body();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        state.SetIterationTime(ms / 1000);
        totalMs += ms;
        totalLimitMs += limit >= 0 ? limit : limitMs;
        ++runs;
    }
    if (runs == 0)
        return;
    state.counters["mean_ms"] = totalMs / runs;
    state.counters["limit_ms"] = totalLimitMs / runs;
    state.counters["ratio"] = totalLimitMs > 0 ? totalMs / totalLimitMs : 0;
}

// The benchmarks' main(): the program's code needs a Qt application object (timers, text
// codecs, the emulator's threads) before anything runs.
#define VDUNO_BENCHMARK_MAIN()                                                                     \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        QCoreApplication app(argc, argv);                                                          \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
