// The repair proposal and the repaired input: worked cases, the reader's odd corners, and every
// repair of the seeded random inputs checked by the literal passes under the rule it was made
// for, on the tables and on the repaired input read back.
#include "design/repair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "analysis/dependency_answers.h"
#include "analysis/tables_in_use.h"
#include "design/repaired_input.h"
#include "model/analysis_state.h"
#include "support/random_input.h"
#include "support/reference_preservation.h"
#include "support/sanitizer.h"
#include "support/state_fixture.h"

namespace fdpreserve::testing {
namespace {

using Names = std::vector<std::string>;

/// The tables as the reader left them, by name, a free slot as "".
struct TablesAsRead {
  std::vector<Names> subschemas;
  std::vector<std::pair<Names, Names>> dependencies;
  bool operator==(const TablesAsRead&) const = default;
};

Names stored(SlotRow row) {
  Names names;
  for (const AttributeId id : row) names.emplace_back(nameOf(state.attributeNames, id));
  return names;
}

class RepairTest : public StateTest {
 protected:
  static TablesAsRead read(const std::string& input) {
    resetAnalysisState();
    readTables(input);
    TablesAsRead tables;
    for (std::size_t r = 0; r < subschemasInUse(); ++r) {
      tables.subschemas.push_back(stored(subschemaRow(state.decomposition, r)));
    }
    for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
      tables.dependencies.emplace_back(stored(leftSide(state.dependencies, d)),
                                       stored(rightSide(state.dependencies, d)));
    }
    return tables;
  }

  /// What the passes literally lose under `rule`, with the ids of what each misses.
  static std::vector<LostDependency> lostByPasses(ClosureRule rule) {
    const std::vector<ReferenceAnswer> answers =
        rule == ClosureRule::kAnyLeftAttribute ? answersByPasses() : textbookAnswersByPasses();
    std::vector<LostDependency> lost;
    for (std::size_t d = 0; d < answers.size(); ++d) {
      if (answers[d].empty()) continue;
      lost.push_back({.entry = d, .missing = {}});
      for (const std::string& name : answers[d]) {
        lost.back().missing.push_back(findName(state.attributeNames, name));
      }
    }
    return lost;
  }

  static RepairProposal propose(ClosureRule rule) {
    WorkBudget budget = unlimitedBudget();
    return proposeRepair(rule, lostByPasses(rule), budget);
  }

  static std::vector<Names> addedNames(const RepairProposal& proposal) {
    std::vector<Names> names;
    for (const AddedSubschema& added : proposal.added) names.push_back(stored(added.attributes));
    return names;
  }

  /// Repairs `input` under `rule` and checks everything the proposal promises; returns whether
  /// anything was lost.
  static bool checkRepair(const std::string& input, ClosureRule rule, unsigned seed) {
    const std::string where = "seed " + std::to_string(seed) + ", input:\n" + printable(input);
    const TablesAsRead before = read(input);
    const std::vector<LostDependency> lost = lostByPasses(rule);
    WorkBudget budget = unlimitedBudget();
    const RepairProposal proposal = proposeRepair(rule, lost, budget);
    // Restores and unrepairable are exactly the lost entries, and no more subschemas than them.
    std::vector<std::size_t> accounted = proposal.unrepairable;
    for (const AddedSubschema& added : proposal.added) {
      accounted.insert(accounted.end(), added.restores.begin(), added.restores.end());
    }
    std::sort(accounted.begin(), accounted.end());
    std::vector<std::size_t> lostEntries(lost.size());
    std::transform(lost.begin(), lost.end(), lostEntries.begin(),
                   [](const LostDependency& l) { return l.entry; });
    EXPECT_EQ(accounted, lostEntries) << where;
    EXPECT_LE(proposal.added.size(), lost.size()) << where;
    if (rule == ClosureRule::kAnyLeftAttribute) {
      EXPECT_TRUE(restoresUnderAnyRule(proposal)) << where;
    }

    const std::vector<Names> added = addedNames(proposal);
    const std::string repaired = repairedInput(input, proposal.added);
    TablesAsRead after = read(repaired);
    const std::vector<ReferenceAnswer> answers =
        rule == ClosureRule::kAnyLeftAttribute ? answersByPasses() : textbookAnswersByPasses();
    for (std::size_t d = 0; d < answers.size(); ++d) {
      const bool unrepairable =
          std::binary_search(proposal.unrepairable.begin(), proposal.unrepairable.end(), d);
      EXPECT_EQ(answers[d].empty(), !unrepairable) << "entry " << d << ", " << where;
    }
    // Every dependency reads as before, and the new subschemas as proposed, after the others.
    EXPECT_EQ(after.subschemas.size(), before.subschemas.size() + added.size()) << where;
    if (after.subschemas.size() != before.subschemas.size() + added.size()) return true;
    EXPECT_EQ(std::vector<Names>(
                  after.subschemas.begin() + static_cast<std::ptrdiff_t>(before.subschemas.size()),
                  after.subschemas.end()),
              added)
        << where;
    after.subschemas.resize(before.subschemas.size());
    EXPECT_EQ(after, before) << where;
    return !lost.empty();
  }
};

TEST_F(RepairTest, ProposesWhatEachLostDependencyNeedsMergedWhereOneHoldsAnother) {
  read("K,L\nK,M\n\nK->L\nL->M\n");
  RepairProposal proposal = propose(ClosureRule::kAnyLeftAttribute);
  EXPECT_EQ(addedNames(proposal), (std::vector<Names>{{"L", "M"}}));
  EXPECT_EQ(proposal.added[0].restores, (std::vector<std::size_t>{1}));
  // The same left side: one subschema for both.
  read("K,L\nK,M\n\nL->M\nK->L\nL->N\n");
  proposal = propose(ClosureRule::kAnyLeftAttribute);
  EXPECT_EQ(addedNames(proposal), (std::vector<Names>{{"L", "M", "N"}}));
  EXPECT_EQ(proposal.added[0].restores, (std::vector<std::size_t>{0, 2}));
  // One proposal inside another: the larger restores both.
  read("A\nB\nC\n\nA->B\nA,C->B\nD->C\n");
  proposal = propose(ClosureRule::kAnyLeftAttribute);
  EXPECT_EQ(addedNames(proposal), (std::vector<Names>{{"A", "C", "B"}, {"D", "C"}}));
  EXPECT_EQ(proposal.added[0].restores, (std::vector<std::size_t>{0, 1}));
  // An empty left side never fires under this tool's rule; under the textbook rule at once.
  read("A,B\nC\n\n->C,B\nA->B\n");
  proposal = propose(ClosureRule::kAnyLeftAttribute);
  EXPECT_TRUE(proposal.added.empty());
  EXPECT_EQ(proposal.unrepairable, (std::vector<std::size_t>{0}));
  read("A,B\nC,D\n\n->B\nA,D->C\n");
  proposal = propose(ClosureRule::kAllLeftAttributes);
  EXPECT_EQ(addedNames(proposal), (std::vector<Names>{{"A", "D", "C"}}));
  EXPECT_TRUE(proposal.unrepairable.empty());
}

TEST_F(RepairTest, RepairedInputKeepsEveryByteAndLineEndOfTheFile) {
  const auto repairedOf = [](const std::string& input) {
    read(input);
    return repairedInput(input, propose(ClosureRule::kAnyLeftAttribute).added);
  };
  EXPECT_EQ(repairedOf("K,L\nK,M\n\nK->L\nL->M\n"), "K,L\nK,M\nL,M\n\nK->L\nL->M\n");
  EXPECT_EQ(repairedOf("K,L\r\nK,M\r\n\r\nK->L\r\nL->M"), "K,L\r\nK,M\r\nL,M\r\n\r\nK->L\r\nL->M");
  // No subschemas: the new ones come first. The bytes after a 1A stay, unread as before.
  EXPECT_EQ(repairedOf("\nA->B\n\x1a"
                       "C\n"),
            "A,B\n\nA->B\n\x1a"
            "C\n");
  // A name ending in CR keeps it behind a comma; ISO 8859-2 bytes stay bytes.
  EXPECT_EQ(repairedOf("A\n\nA->B\r\r\n"), "A\nA,B\r,\n\nA->B\r\r\n");
  EXPECT_EQ(repairedOf("\xF5\n\n\xF5->\xFC\n"), "\xF5\n\xF5,\xFC\n\n\xF5->\xFC\n");
  // A line without a minus reads its right side through the arrow of the line before it.
  EXPECT_TRUE(checkRepair("A,B\nC\n\nA->B\nC,CD\n", ClosureRule::kAnyLeftAttribute, 0));
  EXPECT_TRUE(checkRepair("K,L\r\nK,M\r\n\r\n\r\nL->M", ClosureRule::kAllLeftAttributes, 0));
}

constexpr int kShards = 4;
constexpr int kInputsPerShard = seededInputs(300);

class RepairDifferentialTest : public RepairTest, public ::testing::WithParamInterface<int> {};

TEST_P(RepairDifferentialTest, EveryRepairPassesTheLiteralPasses) {
  int repaired = 0;
  for (int i = 0; i < kInputsPerShard; ++i) {
    const auto seed = static_cast<unsigned>(GetParam() * kInputsPerShard + i);
    for (const ClosureRule rule :
         {ClosureRule::kAnyLeftAttribute, ClosureRule::kAllLeftAttributes}) {
      repaired += checkRepair(RandomInput(seed).make(), rule, seed) ? 1 : 0;
      repaired += checkRepair(ShapedInput(seed).make(), rule, seed) ? 1 : 0;
    }
    if (HasFailure()) return;
  }
  EXPECT_GT(repaired, kInputsPerShard);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RepairDifferentialTest, ::testing::Range(0, kShards));

}  // namespace
}  // namespace fdpreserve::testing
