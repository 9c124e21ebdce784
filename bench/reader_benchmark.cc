// The reader alone, in process, over the bytes of every tier: how much of a run goes to turning
// the input into the tables. Built when Google Benchmark is installed (libbenchmark-dev):
//   cmake --build build-bench --target reader_benchmark && build-bench/bench/reader_benchmark

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "bench/input_tiers.h"
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

BENCHMARK_CAPTURE(readTier, T0, "T0")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(readTier, T1, "T1")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(readTier, T2, "T2")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(readTier, T3, "T3")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(readTier, T4, "T4")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
