// libFuzzer target: the engine's answer for every dependency against the straightforward passes,
// on the tables read from the input, with the engine's limits as they are and lowered so that
// every way it has of working runs on small inputs. Any difference aborts, and libFuzzer keeps the
// input. An input that starts with the byte FF is not read as it is: its next four bytes are the
// seed of an input drawn in the shapes of wide subschemas, so that the fuzzer reaches those too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/dependency_answers.h"
#include "analysis/engine_limits.h"
#include "model/analysis_state.h"
#include "model/reader.h"
#include "support/engine_comparison.h"
#include "support/reference_preservation.h"
#include "support/wide_input.h"

namespace {

using namespace fdpreserve;

// The passes taken literally cost far more than the engine: inputs stay small, and so do their
// tables, so that the fuzzer spends its time on structure.
constexpr std::size_t kMaxInputBytes = 1024;
constexpr std::int64_t kMaxSubschemas = 24;
constexpr std::int64_t kMaxDependencies = 64;

/// The input the bytes stand for: themselves, or, after the byte FF, a wide shape drawn from the
/// seed in the next four.
std::string inputOf(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || data[0] != 0xFF) return {reinterpret_cast<const char*>(data), size};
  unsigned seed = 0;
  for (std::size_t i = 1; i < std::min<std::size_t>(size, 5); ++i) seed = seed << 8U | data[i];
  return testing::WideInput(seed).make();
}

}  // namespace

// libFuzzer calls this by its own name.
// NOLINTNEXTLINE(readability-identifier-naming)
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInputBytes) return -1;  // -1: not worth adding to the corpus
  resetAnalysisState();
  sizeTables(state.decomposition, state.dependencies);
  openInputFromBytes(state.inputFile, inputOf(data, size));
  readDecomposition();
  readDependencies();
  if (state.schemaCount > kMaxSubschemas || state.dependencyCount > kMaxDependencies) {
    resetAnalysisState();
    return -1;
  }
  const std::vector<testing::ReferenceAnswer> expected = testing::answersByPasses();
  bool preserving = true;
  for (const testing::ReferenceAnswer& answer : expected) preserving &= answer.empty();
  for (std::size_t l = 0; l < testing::engineLimitSets().size(); ++l) {
    engineLimits = testing::engineLimitSets()[l];
    const bool sameAnswers =
        testing::answersAsNames(answerDependencies(AnswerScope::kEveryDependency)) == expected;
    const bool sameVerdict =
        everyDependencyPreserved(answerDependencies(AnswerScope::kVerdict)) == preserving;
    if (!sameAnswers || !sameVerdict) {
      (void)std::fprintf(stderr, "the engine differs from the passes under limits %zu (%s)\n", l,
                         sameAnswers ? "verdict" : "answers");
      std::abort();
    }
  }
  engineLimits = EngineLimits{};
  resetAnalysisState();
  return 0;
}
