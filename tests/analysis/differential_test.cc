// The engine's answer for every dependency against the straightforward passes, on many seeded
// random inputs, with its limits as they are and lowered so that every way it has of working
// runs on small inputs; and the whole output file against the passes' own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/dependency_answers.h"
#include "analysis/engine_limits.h"
#include "model/analysis_state.h"
#include "support/engine_comparison.h"
#include "support/random_input.h"
#include "support/reference_preservation.h"
#include "support/sanitizer.h"
#include "support/state_fixture.h"
#include "support/verdicts.h"
#include "support/wide_input.h"

namespace fdpreserve::testing {
namespace {

constexpr int kShards = 10;
constexpr int kInputsPerShard = seededInputs(1000);

/// A subschema of 150 names of its own.
const std::string kPadding = [] {
  std::string line = "P0";
  for (int i = 1; i < 150; ++i) line += ",P" + std::to_string(i);
  return line + "\n";
}();

class DifferentialTest : public StateTest, public ::testing::WithParamInterface<int> {
 protected:
  void TearDown() override {
    engineLimits = EngineLimits{};
    StateTest::TearDown();
  }

  /// Compares everything on `input`; returns whether it is preserving.
  static bool compare(const std::string& input, unsigned seed) {
    const ReferenceRun reference = referenceRun(input);
    const std::string& expected = reference.output;
    for (std::size_t l = 0; l < engineLimitSets().size(); ++l) {
      engineLimits = engineLimitSets()[l];
      EXPECT_EQ(answersAsNames(answerDependencies(AnswerScope::kEveryDependency)),
                reference.answers)
          << "seed " << seed << ", limits " << l << ", input:\n"
          << printable(input);
      EXPECT_EQ(everyDependencyPreserved(answerDependencies(AnswerScope::kVerdict)),
                !expected.ends_with(kNotPreservingEnd))
          << "seed " << seed << ", limits " << l << ", verdict only, input:\n"
          << printable(input);
    }
    engineLimits = EngineLimits{};
    EXPECT_EQ(runInMemory(input), expected) << "seed " << seed << ", input:\n" << printable(input);
    return !expected.ends_with(kNotPreservingEnd);
  }
};

TEST_P(DifferentialTest, EveryDependencyAnsweredAsByThePasses) {
  int negative = 0;
  int shapedNegative = 0;
  int wideNegative = 0;
  for (int i = 0; i < kInputsPerShard; ++i) {
    const auto seed = static_cast<unsigned>(GetParam() * kInputsPerShard + i);
    const std::string input = RandomInput(seed).make();
    negative += compare(input, seed) ? 0 : 1;
    // Names nothing else uses, first: the names that matter get ids past the first word.
    if (i % 4 == 0) compare(kPadding + input, seed);
    if (i % 2 == 0) shapedNegative += compare(ShapedInput(seed).make(), seed) ? 0 : 1;
    if (i % 4 == 1) wideNegative += compare(WideInput(seed).make(), seed) ? 0 : 1;
    if (HasFailure()) return;
  }
  EXPECT_GT(wideNegative, kInputsPerShard / 20);
  EXPECT_LT(wideNegative, kInputsPerShard * 4 / 20);
  // Both verdicts must be common, or the comparison proves little.
  EXPECT_GT(negative, kInputsPerShard / 10);
  EXPECT_LT(negative, kInputsPerShard * 9 / 10);
  EXPECT_GT(shapedNegative, kInputsPerShard / 20);
  EXPECT_LT(shapedNegative, kInputsPerShard * 9 / 20);
}

INSTANTIATE_TEST_SUITE_P(Seeds, DifferentialTest, ::testing::Range(0, kShards));

}  // namespace
}  // namespace fdpreserve::testing
