#pragma once

#include <benchmark/benchmark.h>

#include <new>
#include <string>
#include <string_view>

#include "bench/input_tiers.h"

namespace fdpreserve::bench {

/// One in-process measurement over the input of the tier called by its second argument.
using TierMeasure = void (*)(benchmark::State&, std::string_view);

/// The main of a benchmark program: registers `measure` as `family`/TIER for every tier, then runs
/// whatever the command line selects, and returns the exit status. A tier whose allocations fail
/// is reported as an error, "out of memory", so that the others still run and bench/run, which
/// caps the memory, can tell a cap from a crash.
inline int runOnEveryTier(int argc, char** argv, const char* family, TierMeasure measure) {
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
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace fdpreserve::bench
