// The findings on inputs with a known answer: the cover's handling of entries that always hold,
// where each cover dependency came from, and what each budget cuts while the rest goes on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/tables_in_use.h"
#include "design/subschema_design.h"
#include "support/reference_design.h"
#include "support/state_fixture.h"

namespace fdpreserve::testing {
namespace {

class DesignFindingsTest : public StateTest {
 protected:
  static std::string name(AttributeId id) { return std::string(nameOf(state.attributeNames, id)); }

  /// The cover as "A,B->C@4,6": left names, right name, the entries it came from.
  static std::vector<std::string> coverText(const TracedCover& cover) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < dependenciesIn(cover.set); ++i) {
      std::string text;
      for (const AttributeId a : leftOf(cover.set, i)) text += (text.empty() ? "" : ",") + name(a);
      text += "->" + name(cover.set.rights[i]) + "@";
      for (const std::size_t entry : entriesOf(cover, i)) text += std::to_string(entry) + " ";
      out.push_back(text);
    }
    return out;
  }

  static DesignBudgets budgets(std::uint64_t file, std::uint64_t subschema) {
    return {.file = file, .cover = file, .subschema = subschema};
  }
};

TEST_F(DesignFindingsTest, TheCoverDropsWhatAlwaysHoldsAndMergesWhatRepeats) {
  // Entry 0 gives B twice and itself; entry 1 repeats entry 0; entry 2 has nothing left and
  // fires at once; entry 3 is implied by 0 and 4 and goes; entry 5 is empty, and so is the
  // entry the final line feed makes.
  readTables("A,B,C\n\nA,A->B,B,A\nA->B\n->D\nA->C\nB->C\n\n");
  DesignContext context;
  startDesign(context, designBudgets(true));
  const TracedCover* cover = inputCover(context);
  ASSERT_NE(cover, nullptr);
  EXPECT_EQ(coverText(*cover), (std::vector<std::string>{"A->B@0 1 ", "->D@2 ", "B->C@4 "}));
}

TEST_F(DesignFindingsTest, ALeftAttributeThatWhatFiresAtOnceGivesIsExtraneous) {
  readTables("A,B\n\n->A\nA,B->C\n");
  DesignContext context;
  startDesign(context, designBudgets(true));
  EXPECT_EQ(coverText(*inputCover(context)), (std::vector<std::string>{"->A@0 ", "B->C@1 "}));
}

TEST_F(DesignFindingsTest, AWideSubschemaIsWorkedOutByItsDependenciesNotItsSubsets) {
  // Sixty names, ten dependencies: a key of fifty names, found without closing 2^60 subsets.
  std::string row = "A0";
  for (int i = 1; i < 60; ++i) row += ",A" + std::to_string(i);
  std::string input = row + "\n\n";
  for (int i = 0; i < 10; ++i) {
    input.append("A").append(std::to_string(i)).append("->A");
    input.append(std::to_string(50 + i)).append("\n");
  }
  readTables(input);
  DesignContext context;
  startDesign(context, designBudgets(false));
  SubschemaFindings findings;
  findSubschema(context, 0, findings);
  ASSERT_EQ(findings.cut, DesignCut::kNone);
  EXPECT_EQ(dependenciesIn(findings.projected), 10U);
  ASSERT_EQ(findings.keys.size(), 1U);
  EXPECT_EQ(findings.keys[0].size(), 50U);
  EXPECT_EQ(findings.form.form, NormalForm::kFirst);  // A0 -> A50, with A0 part of the key
}

TEST_F(DesignFindingsTest, ABudgetCutsWhatItMustAndTheRestGoesOn) {
  // Twelve pairs that determine each other make 4096 keys: more than a small budget finds. What
  // the subschema keeps is had all the same, and the next subschema is worked out whole.
  readTables(pairsThatDetermineEachOther(12));
  DesignContext context;
  startDesign(context, budgets(10'000'000, 200'000));
  SubschemaFindings findings;
  findSubschema(context, 0, findings);
  EXPECT_EQ(findings.cut, DesignCut::kSubschemaBudget);
  EXPECT_TRUE(findings.projectedKnown);
  EXPECT_EQ(dependenciesIn(findings.projected), 24U);
  EXPECT_FALSE(findings.keysKnown);
  EXPECT_FALSE(findings.formKnown);  // not BCNF: A0 -> B0 and A0 is no superkey
  findSubschema(context, 1, findings);
  EXPECT_EQ(findings.cut, DesignCut::kNone);
  EXPECT_EQ(findings.keys.size(), 2U);
  EXPECT_EQ(context.cutForThemselves, 1U);

  // With the file's budget spent, what is left is not even tried.
  startDesign(context, budgets(150'000, 200'000));
  findSubschema(context, 0, findings);
  findSubschema(context, 1, findings);
  EXPECT_EQ(findings.cut, DesignCut::kFileBudget);
  EXPECT_FALSE(findings.projectedKnown);
  EXPECT_EQ(context.cutForTheFile, 2U);
}

TEST_F(DesignFindingsTest, AnInputTooLargeToReadInIsSaidToBeOnce) {
  readTables("A,B,C\n\nA,B->C\nC->A\n");
  DesignContext context;
  startDesign(context, budgets(10, 10));
  EXPECT_EQ(inputCover(context), nullptr);
  SubschemaFindings findings;
  findSubschema(context, 0, findings);
  EXPECT_EQ(findings.cut, DesignCut::kInputTooLarge);
  EXPECT_EQ(context.cutForTheInput, 1U);
}

}  // namespace
}  // namespace fdpreserve::testing
