// The reader alone, in process, over the bytes of every tier: how much of a run goes to turning
// the input into the tables. Built when Google Benchmark is installed (libbenchmark-dev):
//   cmake --build build-bench --target reader_benchmark && build-bench/bench/reader_benchmark

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "bench/input_tiers.h"
#include "bench/tier_benchmark.h"
#include "model/analysis_state.h"
#include "model/reader.h"
#include "model/tables.h"
#include "platform/input_file.h"

namespace {

/// Reads the tier's input into fresh tables, once an iteration; the copy of the bytes that the
/// input file takes over, and the clearing of the tables, are not timed.
void readTier(benchmark::State& run, std::string_view tier) {
  const std::string bytes =
      fdpreserve::bench::tierInput(*fdpreserve::bench::findTier(tier), 1, true);
  for ([[maybe_unused]] auto iteration : run) {
    run.PauseTiming();
    fdpreserve::resetAnalysisState();
    std::string input = bytes;
    run.ResumeTiming();
    fdpreserve::sizeTables(fdpreserve::state.decomposition, fdpreserve::state.dependencies);
    fdpreserve::openInputFromBytes(fdpreserve::state.inputFile, std::move(input));
    fdpreserve::readDecomposition();
    fdpreserve::readDependencies();
    benchmark::DoNotOptimize(fdpreserve::state.dependencyCount);
  }
  run.SetBytesProcessed(static_cast<std::int64_t>(run.iterations()) *
                        static_cast<std::int64_t>(bytes.size()));
  fdpreserve::resetAnalysisState();
}

[[maybe_unused]] const bool kRegistered =
    fdpreserve::bench::registerOnEveryTier("readTier", readTier);

}  // namespace

BENCHMARK_MAIN();
