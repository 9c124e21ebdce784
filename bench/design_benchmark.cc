// What each subschema keeps, its keys and normal form, and the minimal cover, in process over the
// tables of every tier, within the budgets a report has: how long the findings take, the slowest
// single subschema (the target: none of the classic maximum, T0, over a second), and how many
// subschemas the budgets cut. Built when Google Benchmark is installed (libbenchmark-dev):
//   cmake --build build-bench --target design_benchmark && build-bench/bench/design_benchmark

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>

#include "analysis/tables_in_use.h"
#include "bench/input_tiers.h"
#include "bench/tier_benchmark.h"
#include "design/subschema_design.h"
#include "model/analysis_state.h"
#include "model/reader.h"
#include "model/tables.h"
#include "platform/input_file.h"

namespace {

using Clock = std::chrono::steady_clock;

/// Reads the tier's input once, untimed, then works out the cover and every subschema once an
/// iteration, as `fdexplain --json` does.
void findOnTier(benchmark::State& run, std::string_view tier) {
  using namespace fdpreserve;
  resetAnalysisState();
  sizeTables(state.decomposition, state.dependencies);
  openInputFromBytes(state.inputFile, bench::tierInput(*bench::findTier(tier), 1, true));
  readDecomposition();
  readDependencies();
  double slowest = 0;
  std::size_t cut = 0;
  for ([[maybe_unused]] auto iteration : run) {
    DesignContext context;
    startDesign(context, designBudgets(false));
    benchmark::DoNotOptimize(inputCover(context));
    SubschemaFindings findings;
    for (std::size_t r = 0; r < subschemasInUse(); ++r) {
      const Clock::time_point started = Clock::now();
      findSubschema(context, r, findings);
      slowest = std::max(slowest, std::chrono::duration<double>(Clock::now() - started).count());
    }
    cut = context.cutForThemselves + context.cutForTheFile + context.cutForTheInput;
  }
  run.counters["slowest_subschema_ms"] = slowest * 1000;
  run.counters["subschemas_cut"] = static_cast<double>(cut);
  resetAnalysisState();
}

[[maybe_unused]] const bool kRegistered =
    fdpreserve::bench::registerOnEveryTier("findOnTier", findOnTier);

}  // namespace

BENCHMARK_MAIN();
