// What each subschema keeps, its keys and normal form, and the minimal cover, against the
// definitions taken literally (every subset of a subschema closed by applying the dependencies
// until nothing changes), on the seeded random inputs the engine is compared on.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "analysis/tables_in_use.h"
#include "design/subschema_design.h"
#include "support/random_input.h"
#include "support/reference_design.h"
#include "support/sanitizer.h"
#include "support/state_fixture.h"

namespace fdpreserve::testing {
namespace {

constexpr int kShards = 4;
constexpr int kInputsPerShard = seededInputs(1000);
constexpr std::size_t kWidestCompared = 12;

DesignBudgets unlimitedBudgets() {
  const std::uint64_t every = unlimitedBudget().left;
  return {.file = every, .cover = every, .subschema = every};
}

/// A cover over places as the literal checks take it.
struct PlaceCover {
  std::vector<Subset> lefts;
  std::vector<unsigned> rights;
};

PlaceCover asPlaceCover(const DependencySet& set) {
  PlaceCover cover;
  for (std::size_t i = 0; i < dependenciesIn(set); ++i) {
    Subset left = 0;
    for (const AttributeId p : leftOf(set, i)) left |= Subset{1} << p;
    cover.lefts.push_back(left);
    cover.rights.push_back(set.rights[i]);
  }
  return cover;
}

std::vector<Subset> asSubsets(const std::vector<PlaceList>& keys) {
  std::vector<Subset> subsets;
  for (const PlaceList& key : keys) {
    Subset subset = 0;
    for (const AttributeId p : key) subset |= Subset{1} << p;
    subsets.push_back(subset);
  }
  std::sort(subsets.begin(), subsets.end());
  return subsets;
}

LiteralForm asLiteral(NormalForm form) {
  return static_cast<LiteralForm>(static_cast<int>(form));
}

/// Whether `cover` is minimal: no left attribute and no dependency can go without changing what
/// it implies, and no right attribute stands on its own left side.
bool minimalOverPlaces(const PlaceCover& cover) {
  for (std::size_t i = 0; i < cover.lefts.size(); ++i) {
    const Subset right = Subset{1} << cover.rights[i];
    if ((cover.lefts[i] & right) != 0) return false;
    PlaceCover others = cover;
    others.lefts.erase(others.lefts.begin() + static_cast<std::ptrdiff_t>(i));
    others.rights.erase(others.rights.begin() + static_cast<std::ptrdiff_t>(i));
    if ((closureOverPlaces(others.lefts, others.rights, cover.lefts[i]) & right) != 0) return false;
    for (Subset rest = cover.lefts[i]; rest != 0; rest &= rest - 1) {
      const Subset without = cover.lefts[i] & ~(rest & (~rest + 1));
      if ((closureOverPlaces(cover.lefts, cover.rights, without) & right) != 0) return false;
    }
  }
  return true;
}

/// What the comparisons met, so that a run that met too little fails.
struct Seen {
  std::array<int, 4> forms{};
  int subschemas = 0;
  int rulesPart = 0;
  int manyKeys = 0;
};

class ProjectionDifferentialTest : public StateTest, public ::testing::WithParamInterface<int> {
 protected:
  /// The cover against the input's dependencies: equivalent, minimal, each dependency traced to
  /// entries that hold its right attribute and all of its left side.
  static void checkCover(const TracedCover& cover, const std::vector<LiteralDependency>& input,
                         const std::string& where) {
    std::vector<LiteralDependency> asInput;
    for (std::size_t i = 0; i < dependenciesIn(cover.set); ++i) {
      const auto left = leftOf(cover.set, i);
      asInput.push_back({{left.begin(), left.end()}, {cover.set.rights[i]}});
    }
    for (std::size_t i = 0; i < asInput.size(); ++i) {
      const LiteralDependency& own = asInput[i];
      const AttributeId right = own.right[0];
      EXPECT_TRUE(literalClosure(input, own.left, LiteralRule::kAllLeft)[right]) << where;
      EXPECT_EQ(std::count(own.left.begin(), own.left.end(), right), 0) << where;
      std::vector<LiteralDependency> others = asInput;
      others.erase(others.begin() + static_cast<std::ptrdiff_t>(i));
      EXPECT_FALSE(literalClosure(others, own.left, LiteralRule::kAllLeft)[right])
          << where << "redundant: cover dependency " << i;
      for (std::size_t k = 0; k < own.left.size(); ++k) {
        std::vector<AttributeId> without = own.left;
        without.erase(without.begin() + static_cast<std::ptrdiff_t>(k));
        EXPECT_FALSE(literalClosure(asInput, without, LiteralRule::kAllLeft)[right])
            << where << "extraneous left attribute in cover dependency " << i;
      }
      EXPECT_FALSE(entriesOf(cover, i).empty()) << where;
      for (const std::size_t entry : entriesOf(cover, i)) {
        const LiteralDependency& from = input[entry];
        EXPECT_NE(std::find(from.right.begin(), from.right.end(), right), from.right.end())
            << where;
        for (const AttributeId a : own.left) {
          EXPECT_NE(std::find(from.left.begin(), from.left.end(), a), from.left.end()) << where;
        }
      }
    }
    for (const LiteralDependency& dependency : input) {
      const std::vector<bool> closure =
          literalClosure(asInput, dependency.left, LiteralRule::kAllLeft);
      for (const AttributeId a : dependency.right) EXPECT_TRUE(closure[a]) << where << "lost";
    }
  }

  static void checkSubschema(const SubschemaFindings& findings,
                             const std::vector<LiteralDependency>& input, const std::string& where,
                             bool rulesAlike, Seen& seen) {
    ASSERT_EQ(findings.cut, DesignCut::kNone) << where;
    const SubsetClosures textbook =
        closuresOfEverySubset(findings.attributes, input, LiteralRule::kAllLeft);
    const PlaceCover projected = asPlaceCover(findings.projected);
    for (Subset subset = 0; subset < textbook.closureOf.size(); ++subset) {
      ASSERT_EQ(closureOverPlaces(projected.lefts, projected.rights, subset),
                textbook.closureOf[subset])
          << where << "projection, subset " << subset;
    }
    EXPECT_TRUE(minimalOverPlaces(projected)) << where << "projection not minimal";
    EXPECT_EQ(asSubsets(findings.keys), textbook.keys) << where << "keys";
    const LiteralForm form = normalFormOfEverySubset(textbook);
    EXPECT_EQ(asLiteral(findings.form.form), form) << where << "normal form";
    if (form != LiteralForm::kBoyceCodd) {
      Subset left = 0;
      for (const AttributeId p : findings.form.violationLeft) left |= Subset{1} << p;
      EXPECT_TRUE(breaksFormAbove(textbook, form, left, findings.form.violationRight))
          << where << "violation";
    }
    const SubsetClosures anyRule =
        closuresOfEverySubset(findings.attributes, input, LiteralRule::kAnyLeft);
    const LiteralForm anyForm = normalFormOfEverySubset(anyRule);
    const bool part = anyRule.keys != textbook.keys || anyForm != form;
    EXPECT_EQ(findings.rulesPart, part) << where << "the rules part";
    if (rulesAlike) {
      EXPECT_EQ(anyRule.closureOf, textbook.closureOf) << where;
    }
    if (findings.rulesPart) {
      EXPECT_EQ(asSubsets(findings.anyKeys), anyRule.keys) << where << "keys, any rule";
      EXPECT_EQ(asLiteral(findings.anyForm.form), anyForm) << where << "form, any rule";
    }
    ++seen.forms[static_cast<std::size_t>(form)];
    ++seen.subschemas;
    seen.rulesPart += part ? 1 : 0;
    seen.manyKeys += textbook.keys.size() > 2 ? 1 : 0;
  }

  static void compare(const std::string& input, const std::string& label, Seen& seen) {
    resetAnalysisState();
    readTables(input);
    const std::vector<LiteralDependency> dependencies = literalDependencies();
    DesignContext context;
    startDesign(context, unlimitedBudgets());
    const std::string where = label + ", input:\n" + printable(input) + "\n";
    const TracedCover* cover = inputCover(context);
    ASSERT_NE(cover, nullptr) << where;
    checkCover(*cover, dependencies, where);
    SubschemaFindings findings;
    for (std::size_t r = 0; r < subschemasInUse(); ++r) {
      findSubschema(context, r, findings);
      if (findings.attributes.size() > kWidestCompared) continue;
      checkSubschema(findings, dependencies, where + "subschema " + std::to_string(r) + ": ",
                     context.rulesAlike, seen);
      if (HasFatalFailure()) return;
    }
  }
};

TEST_P(ProjectionDifferentialTest, EverySubschemaAsTheDefinitionsSay) {
  Seen seen;
  for (int i = 0; i < kInputsPerShard; ++i) {
    const auto seed = static_cast<unsigned>(GetParam() * kInputsPerShard + i);
    compare(RandomInput(seed).make(), "random seed " + std::to_string(seed), seen);
    compare(ShapedInput(seed).make(), "shaped seed " + std::to_string(seed), seen);
    compare(DesignInput(seed).make(), "design seed " + std::to_string(seed), seen);
    if (HasFailure()) return;
  }
  // Every form, the rules parting and many keys must be common, or the comparison proves little.
  for (const int count : seen.forms) EXPECT_GT(count, kInputsPerShard / 20);
  EXPECT_GT(seen.rulesPart, kInputsPerShard / 20);
  EXPECT_GT(seen.manyKeys, kInputsPerShard / 20);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ProjectionDifferentialTest, ::testing::Range(0, kShards));

}  // namespace
}  // namespace fdpreserve::testing
