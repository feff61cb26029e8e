#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Registers the figure `name` and its floor `name_floor` one argument set at
// a time, each floor right after its figure, so that both are measured under
// the same load on the machine and their ratio means something. An empty
// argument set registers the pair without arguments. `minTime` in seconds,
// 0 for the library's default. Call before benchmark::Initialize.
inline void registerWithFloor(const std::string &name, benchmark::internal::Function *figure,
                              benchmark::internal::Function *floor,
                              const std::vector<std::vector<std::int64_t>> &argSets,
                              double minTime = 0)
{
    for (const std::vector<std::int64_t> &args : argSets) {
        for (const auto &[label, function] :
             {std::pair{name, figure}, std::pair{name + "_floor", floor}}) {
            benchmark::internal::Benchmark *b =
                benchmark::RegisterBenchmark(label.c_str(), function);
            if (!args.empty())
                b->Args(args);
            b->Unit(benchmark::kMillisecond);
            if (minTime > 0)
                b->MinTime(minTime);
        }
    }
}
