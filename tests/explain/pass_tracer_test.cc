#include "explain/pass_tracer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "analysis/dependency_answers.h"
#include "analysis/tables_in_use.h"
#include "explain/rule_answers.h"
#include "support/state_fixture.h"

namespace fdpreserve::explain {
namespace {

using fdpreserve::testing::StateTest;

class PassTracerTest : public StateTest {
 protected:
  void read(const std::string& input) {
    readTables(input);
    resetPassTracer();
  }
  static std::vector<std::string> names(std::span<const AttributeId> ids) {
    std::vector<std::string> out;
    for (const AttributeId id : ids) out.emplace_back(nameOf(state.attributeNames, id));
    return out;
  }
  static PassTrace trace(std::size_t entry, ClosureRule rule,
                         TraceGoal goal = TraceGoal::kUntilSettled) {
    PassTrace result;
    WorkBudget budget = unlimitedBudget();
    tracePasses(result, entry, rule, goal, budget);
    return result;
  }
};

using Strings = std::vector<std::string>;

TEST_F(PassTracerTest, RecordsWhichSubschemaAddedWhatInWhichPass) {
  // Subschemas last pair first: each pass moves one link along the chain.
  read("C,D\nB,C\nA,B\n\nA->B\nB->C\nC->D\nA->D\n");
  const PassTrace t = trace(3, ClosureRule::kAnyLeftAttribute);
  ASSERT_TRUE(t.finished);
  EXPECT_EQ(names(t.reached), (Strings{"A", "B", "C", "D"}));
  EXPECT_EQ(t.leftEnd, 1U);
  ASSERT_EQ(t.steps.size(), 3U);
  for (std::size_t s = 0; s < 3; ++s) {
    EXPECT_EQ(t.steps[s].pass, s + 1);
    EXPECT_EQ(t.steps[s].subschema, 2 - s);
    EXPECT_EQ(t.steps[s].end, s + 2);
  }
  EXPECT_TRUE(t.missing.empty());
  // Stopped once the right side is in: here the same steps, as D comes last.
  EXPECT_EQ(trace(3, ClosureRule::kAnyLeftAttribute, TraceGoal::kUntilRightReached).steps.size(),
            3U);
  EXPECT_EQ(trace(0, ClosureRule::kAnyLeftAttribute, TraceGoal::kUntilRightReached).steps.size(),
            1U);
}

TEST_F(PassTracerTest, TheRulesPartOnALeftSideSplitOverTwoSubschemas) {
  read("K,M\nL,M\n\nK,L->M\n");
  const PassTrace ours = trace(0, ClosureRule::kAnyLeftAttribute);
  EXPECT_TRUE(ours.missing.empty());
  ASSERT_EQ(ours.steps.size(), 1U);
  EXPECT_EQ(ours.steps[0].subschema, 0U);
  const PassTrace textbook = trace(0, ClosureRule::kAllLeftAttributes);
  EXPECT_EQ(names(textbook.reached), (Strings{"K", "L"}));
  EXPECT_EQ(names(textbook.missing), Strings{"M"});
}

TEST_F(PassTracerTest, AnEmptyLeftSideFiresAtOnceOnlyUnderTheTextbookRule) {
  read("A,B\n\n->B\n,A->B\n");
  for (const std::size_t entry : {0U, 1U}) {
    EXPECT_EQ(names(trace(entry, ClosureRule::kAnyLeftAttribute).missing), Strings{"B"});
    EXPECT_TRUE(trace(entry, ClosureRule::kAllLeftAttributes).missing.empty());
  }
}

TEST_F(PassTracerTest, GivesUpWhenTheBudgetRunsOut) {
  read("A,B\nB,C\n\nA->B\nB->C\nA->C\n");
  PassTrace t;
  WorkBudget budget{3};
  tracePasses(t, 2, ClosureRule::kAnyLeftAttribute, TraceGoal::kUntilSettled, budget);
  EXPECT_FALSE(t.finished);
  EXPECT_EQ(budget.left, 0U);
}

/// The passes taken literally under the textbook rule: the reach of a set fires a dependency once
/// its whole left side is in, an empty one at once. Returns the right attributes not reached.
std::vector<AttributeId> literalTextbookMissing(std::size_t entry) {
  std::vector<bool> reached(attributeIds(), false);
  for (const AttributeId a : leftAttributes(entry)) reached[a] = true;
  for (bool grew = true; grew;) {
    grew = false;
    for (std::size_t i = 0; i < subschemasInUse(); ++i) {
      const SlotRow row = subschemaAttributes(i);
      std::vector<bool> closure(attributeIds(), false);
      for (const AttributeId x : row) closure[x] = reached[x];
      for (bool fired = true; fired;) {
        fired = false;
        for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
          const SlotRow left = leftAttributes(d);
          if (!std::all_of(left.begin(), left.end(), [&](AttributeId a) { return closure[a]; })) {
            continue;
          }
          for (const AttributeId y : rightAttributes(d)) {
            fired = fired || !closure[y];
            closure[y] = true;
          }
        }
      }
      for (const AttributeId x : row) {
        grew = grew || (closure[x] && !reached[x]);
        reached[x] = reached[x] || closure[x];
      }
    }
  }
  std::vector<AttributeId> missing;
  for (const AttributeId y : rightAttributes(entry)) {
    if (!reached[y] && std::find(missing.begin(), missing.end(), y) == missing.end()) {
      missing.push_back(y);
    }
  }
  return missing;
}

/// A small input of a few names, with gaps, empty sides and long lines among the usual.
std::string randomInput(std::mt19937& random) {
  const auto below = [&](unsigned n) { return static_cast<unsigned>(random() % n); };
  const auto side = [&] {
    std::string text;
    for (unsigned f = below(4); f > 0; --f) {
      if (below(12) == 0) text += ',';  // a gap
      text += static_cast<char>('A' + below(7));
      if (f > 1) text += ',';
    }
    return text;
  };
  std::string input;
  for (unsigned s = 1 + below(5); s > 0; --s) input += 'S' + side() + '\n';
  input += '\n';
  for (unsigned d = below(9); d > 0; --d) input += side() + "->" + side() + '\n';
  return input;
}

TEST_F(PassTracerTest, AgreesWithTheEngineAndWithTheTextbookPassesTakenLiterally) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 1000; ++round) {
    std::string input = randomInput(random);
    // Subschema lines start with S so none is empty; drop it again from half the names.
    std::replace(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(round % 2), 'S', 'A');
    read(input);
    const DependencyAnswers answers = answerDependencies(AnswerScope::kEveryDependency);
    const RuleAnswers both =
        answerBothRules(ExplainOptions{.decidingRule = ClosureRule::kAllLeftAttributes});
    ASSERT_EQ(both.textbook, TextbookState::kDecided);
    for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
      SCOPED_TRACE(input + "entry " + std::to_string(d));
      const auto engine = missingAttributes(answers, d);
      EXPECT_EQ(trace(d, ClosureRule::kAnyLeftAttribute).missing,
                std::vector<AttributeId>(engine.begin(), engine.end()));
      EXPECT_EQ(
          trace(d, ClosureRule::kAnyLeftAttribute, TraceGoal::kUntilRightReached).missing.empty(),
          engine.empty());
      const std::vector<AttributeId> literal = literalTextbookMissing(d);
      const bool textbook = literal.empty();
      EXPECT_EQ(trace(d, ClosureRule::kAllLeftAttributes).missing, literal);
      // A search with its closures cut short may leave it open, but never decides it wrong.
      WorkBudget budget = unlimitedBudget();
      const RightSearch quick = searchRight(d, ClosureRule::kAllLeftAttributes, 2, budget);
      EXPECT_NE(quick, textbook ? RightSearch::kNotReached : RightSearch::kReached);
      EXPECT_EQ(searchRight(d, ClosureRule::kAllLeftAttributes, ~0ULL, budget),
                textbook ? RightSearch::kReached : RightSearch::kNotReached);
      EXPECT_EQ(both.textbookPreserved[d], textbook);
    }
  }
}

}  // namespace
}  // namespace fdpreserve::explain
