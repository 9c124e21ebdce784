// The analysis alone, in process, over the tables of every tier: how much of a run goes to
// deciding the verdict once the input is read. Built when Google Benchmark is installed
// (libbenchmark-dev):
//   cmake --build build-bench --target analysis_benchmark && build-bench/bench/analysis_benchmark

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "analysis/dependency_answers.h"
#include "bench/input_tiers.h"
#include "bench/tier_benchmark.h"
#include "model/analysis_state.h"
#include "model/reader.h"
#include "model/tables.h"
#include "platform/input_file.h"

namespace {

/// Reads the tier's input once, untimed, then decides its verdict once an iteration.
void analyseTier(benchmark::State& run, std::string_view tier) {
  fdpreserve::resetAnalysisState();
  fdpreserve::sizeTables(fdpreserve::state.decomposition, fdpreserve::state.dependencies);
  fdpreserve::openInputFromBytes(
      fdpreserve::state.inputFile,
      fdpreserve::bench::tierInput(*fdpreserve::bench::findTier(tier), 1, true));
  fdpreserve::readDecomposition();
  fdpreserve::readDependencies();
  for ([[maybe_unused]] auto iteration : run) {
    benchmark::DoNotOptimize(
        fdpreserve::answerDependencies(fdpreserve::AnswerScope::kVerdict).failedEntries.size());
  }
  fdpreserve::resetAnalysisState();
}

[[maybe_unused]] const bool kRegistered =
    fdpreserve::bench::registerOnEveryTier("analyseTier", analyseTier);

}  // namespace

BENCHMARK_MAIN();
