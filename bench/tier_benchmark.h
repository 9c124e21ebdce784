#pragma once

#include <benchmark/benchmark.h>

#include <new>
#include <string>
#include <string_view>

#include "bench/input_tiers.h"

namespace fdpreserve::bench {

/// One in-process measurement over the input of the tier called by its second argument.
using TierMeasure = void (*)(benchmark::State&, std::string_view);

/// Registers `measure` as `family`/TIER for every tier and returns true, so that a program can
/// register them as it starts, as the library's own macros do. A tier whose allocations fail is
/// reported as an error, "out of memory", so that the others still run and bench/run, which caps
/// the memory, can tell a cap from a crash.
inline bool registerOnEveryTier(const char* family, TierMeasure measure) {
  for (const TierShape& shape : tierShapes()) {
    const std::string name = std::string(family) + "/" + std::string(shape.name);
    benchmark::RegisterBenchmark(name.c_str(),
                                 [measure, tier = shape.name](benchmark::State& run) {
                                   try {
                                     measure(run, tier);
                                   } catch (const std::bad_alloc&) {
                                     run.SkipWithError("out of memory");
                                   }
                                 })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  return true;
}

}  // namespace fdpreserve::bench
