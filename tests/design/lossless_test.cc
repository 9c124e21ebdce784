// Both lossless verdicts and the final tableau against the chase drawn literally
// (support/reference_chase.cc), on worked cases and on the seeded random inputs of every shape.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design/chase.h"
#include "design/lossless_join.h"
#include "model/analysis_state.h"
#include "support/random_input.h"
#include "support/reference_chase.h"
#include "support/sanitizer.h"
#include "support/state_fixture.h"

namespace fdpreserve::testing {
namespace {

using Names = std::vector<std::string>;

class LosslessTest : public StateTest {
 protected:
  void TearDown() override {
    joinLimits = JoinLimits{};
    StateTest::TearDown();
  }

  static Names names(const std::vector<AttributeId>& ids) {
    Names out;
    for (const AttributeId id : ids) out.emplace_back(nameOf(state.attributeNames, id));
    std::sort(out.begin(), out.end());
    return out;
  }

  /// The chase under `rule`, every row's undistinguished columns by name.
  static std::vector<Names> tableauOf(ClosureRule rule, ChaseResult& result) {
    Tableau tableau;
    WorkBudget budget = unlimitedBudget();
    result = chase(tableau, rule, budget, nullptr);
    std::vector<Names> rows;
    for (std::size_t r = 0; r < tableau.rows; ++r) {
      rows.push_back(names(undistinguishedColumns(tableau, r)));
    }
    return rows;
  }

  /// Compares both rules' verdicts and tableaux with the literal chase on the tables read from
  /// `input`; returns whether it is lossless under this tool's rule.
  static bool compare(const std::string& input, unsigned seed) {
    resetAnalysisState();
    readTables(input);
    const std::string where = "seed " + std::to_string(seed) + ", input:\n" + printable(input);
    bool lossless = false;
    // What the report infers without chasing under the textbook rule must hold: a join lossy
    // under this tool's rule is lossy under it too unless something fires on nothing.
    const bool anyLossless = referenceChase(false).lossless;
    bool firesOnNothing = false;
    for (std::int64_t d = 0; d < state.dependencyCount; ++d) {
      const auto entry = static_cast<std::size_t>(d);
      firesOnNothing = firesOnNothing || (leftAttributes(state.dependencies, entry).empty() &&
                                          !rightAttributes(state.dependencies, entry).empty());
    }
    if (!anyLossless && !firesOnNothing) {
      EXPECT_FALSE(referenceChase(true).lossless) << where;
    }
    for (const ClosureRule rule :
         {ClosureRule::kAnyLeftAttribute, ClosureRule::kAllLeftAttributes}) {
      const bool allLeft = rule == ClosureRule::kAllLeftAttributes;
      const ReferenceTableau expected = referenceChase(allLeft);
      ChaseResult result;
      EXPECT_EQ(tableauOf(rule, result), expected.undistinguished)
          << "allLeft " << allLeft << ", " << where;
      EXPECT_TRUE(result.finished) << where;
      EXPECT_EQ(result.lossless, expected.lossless) << "allLeft " << allLeft << ", " << where;
      if (result.lossless) {
        EXPECT_TRUE(expected.undistinguished[result.fullRow].empty()) << where;
      }
      if (allLeft) continue;
      lossless = expected.lossless;
      for (const std::size_t questions : {std::size_t{8}, std::size_t{0}}) {
        joinLimits.questionsPerMember = questions;
        WorkBudget budget = unlimitedBudget();
        const JoinVerdict verdict = losslessUnderAnyRule(budget);
        EXPECT_TRUE(verdict.decided) << where;
        EXPECT_EQ(verdict.lossless, expected.lossless)
            << "questions " << questions << ", " << where;
        if (verdict.lossless) {
          EXPECT_TRUE(expected.undistinguished[verdict.fullRow].empty()) << where;
          if (verdict.holdsSchema) {
            EXPECT_TRUE(referenceChase(true).lossless) << where;
          }
        }
      }
      joinLimits = JoinLimits{};
    }
    return lossless;
  }
};

TEST_F(LosslessTest, WorkedCases) {
  // K->L lets the second row gain L; then the two agree on L, and L->M gives the first M.
  EXPECT_TRUE(compare("K,L\nK,M\n\nK->L\nL->M\n", 0));
  // Nothing links the two halves.
  EXPECT_FALSE(compare("A,B\nC,D\n\nA->B\n", 0));
  // Our rule fires K,L->M on K alone: the first row gains M; the textbook rule needs L too.
  EXPECT_TRUE(compare("K,M\nK,L\n\nK,L->M\n", 0));
  readTables("A,B\nB,C\n\nA,C->B\n");
  ChaseResult textbook;
  EXPECT_EQ(tableauOf(ClosureRule::kAllLeftAttributes, textbook),
            (std::vector<Names>{{"C"}, {"A"}}));
  // A name only the dependencies hold carries equalities: A->X->B joins through it.
  EXPECT_TRUE(compare("A,B\nA,C\n\nA->X\nX->C\n", 0));
  // A subschema of nothing is a row distinguished nowhere; no subschema at all is no row.
  EXPECT_TRUE(compare("A,B\n,C\n\nA->B\n", 0));
  EXPECT_FALSE(compare("\nA->B\n", 0));
  EXPECT_TRUE(compare(",A\n\n", 0));
  // The textbook rule fires an empty left side on every two rows at once.
  EXPECT_FALSE(compare("A,B\nB,C\n\n->A\n", 0));
  readTables("A,B\nC,D\n\n->A,C\n");
  ChaseResult empty;
  EXPECT_EQ(tableauOf(ClosureRule::kAllLeftAttributes, empty), (std::vector<Names>{{"D"}, {"B"}}));
}

TEST_F(LosslessTest, ChainsAndWindowsInEitherOrder) {
  // Decided by components that reach one another, however the rows are listed.
  EXPECT_TRUE(compare("C,D\nB,C\nA,B\n\nA->B\nB->C\nC->D\n", 0));
  EXPECT_FALSE(compare("C,D\nB,C\nA,B\n\nA->B\nC->D\n", 0));
  EXPECT_TRUE(compare("A,B\nB,C\nC,D\n\nD->C\nC->B\nB->A\n", 0));
  // A cycle makes one component, which links rows only where they share one of its attributes.
  EXPECT_TRUE(compare("A,B\nB,C\n\nB->C\nC->B\n", 0));
  EXPECT_FALSE(compare("A,B\nB,C\n\nA->C\nC->A\n", 0));
  // Two chains that only meet at the end: the tops are held by different rows.
  EXPECT_FALSE(compare("A,C\nB,C\n\nA->C\nB->C\n", 0));
}

constexpr int kShards = 4;
constexpr int kInputsPerShard = seededInputs(500);

class LosslessDifferentialTest : public LosslessTest, public ::testing::WithParamInterface<int> {};

TEST_P(LosslessDifferentialTest, BothRulesAsTheLiteralChase) {
  int lossless = 0;
  int shapedLossless = 0;
  for (int i = 0; i < kInputsPerShard; ++i) {
    const auto seed = static_cast<unsigned>(GetParam() * kInputsPerShard + i);
    lossless += compare(RandomInput(seed).make(), seed) ? 1 : 0;
    shapedLossless += compare(ShapedInput(seed).make(), seed) ? 1 : 0;
    if (HasFailure()) return;
  }
  // Both verdicts must be common, or the comparison proves little.
  EXPECT_GT(lossless, kInputsPerShard / 10);
  EXPECT_LT(lossless, kInputsPerShard * 9 / 10);
  EXPECT_GT(shapedLossless, kInputsPerShard / 10);
  EXPECT_LT(shapedLossless, kInputsPerShard * 9 / 10);
}

INSTANTIATE_TEST_SUITE_P(Seeds, LosslessDifferentialTest, ::testing::Range(0, kShards));

}  // namespace
}  // namespace fdpreserve::testing
