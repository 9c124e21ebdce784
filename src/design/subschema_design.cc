#include "design/subschema_design.h"

#include <algorithm>
#include <numeric>

#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

/// Work a part may take unless a report lifts it: a fraction of a second each.
constexpr std::uint64_t kFileWork = 150'000'000;
constexpr std::uint64_t kCoverWork = 50'000'000;
constexpr std::uint64_t kSubschemaWork = 40'000'000;

/// A budget of `limit` units, no more than the file has left.
WorkBudget portion(const DesignContext& context, std::uint64_t limit) {
  return WorkBudget{std::min(limit, context.file.left)};
}

/// Takes from the file's budget what `used` spent of what it was given.
void settle(DesignContext& context, std::uint64_t given, const WorkBudget& used) {
  context.file.left -= std::min(context.file.left, given - used.left);
}

/// Readies the dependencies projections work from: the minimal cover when it was found, the
/// input's dependencies split by right attribute otherwise.
bool readyProjectionSource(DesignContext& context) {
  if (context.sourceTried) return context.sourceReady;
  context.sourceTried = true;
  const TracedCover* cover = inputCover(context);
  TracedCover split;
  if (cover == nullptr) {
    WorkBudget budget = portion(context, context.budgets.cover);
    const std::uint64_t given = budget.left;
    const bool whole = splitInput(split, budget);
    settle(context, given, budget);
    if (!whole) return false;
    cover = &split;
  }
  prepareProjectionSource(context.projection, cover->set);
  context.sourceReady = true;
  return true;
}

/// Orders a cover by its left sides, then right attributes, as people read it.
void sortCover(DependencySet& cover) {
  std::vector<std::size_t> order(dependenciesIn(cover));
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const auto left = leftOf(cover, a);
    const auto other = leftOf(cover, b);
    if (!std::ranges::equal(left, other)) return std::ranges::lexicographical_compare(left, other);
    return cover.rights[a] < cover.rights[b];
  });
  DependencySet sorted{.attributes = cover.attributes, .leftEnds = {}, .lefts = {}, .rights = {}};
  for (const std::size_t i : order) addDependency(sorted, leftOf(cover, i), cover.rights[i]);
  cover = std::move(sorted);
}

/// Keys and normal form of `cover`, into `keys` and `form`; false when the budget ran out.
bool keysAndForm(DesignContext& context, const DependencySet& cover, std::vector<PlaceList>& keys,
                 FormFinding& form, bool& keysKnown, bool& formKnown, WorkBudget& budget) {
  buildCloser(context.closer, cover);
  keysKnown = candidateKeys(context.closer, cover, keys, budget);
  if (!keysKnown) keys.clear();
  formKnown = findNormalForm(context.closer, cover, keysKnown ? &keys : nullptr, form, budget);
  return keysKnown && formKnown;
}

/// Works out this tool's keys and normal form beside the textbook's, and whether they differ.
void compareWithAnyRule(DesignContext& context, SubschemaFindings& findings, WorkBudget& budget) {
  prepareReachSource(context.reach);
  DependencySet anyCover;
  if (!projectAnyRule(context.reach, findings.attributes, anyCover, budget)) return;
  bool keysKnown = false;
  bool formKnown = false;
  if (!keysAndForm(context, anyCover, findings.anyKeys, findings.anyForm, keysKnown, formKnown,
                   budget)) {
    return;
  }
  findings.rulesPart =
      findings.anyKeys != findings.keys || findings.anyForm.form != findings.form.form;
}

void work(DesignContext& context, SubschemaFindings& findings, WorkBudget& budget) {
  if (context.rulesAlike) {
    prepareReachSource(context.reach);
    findings.projectedKnown =
        projectAnyRule(context.reach, findings.attributes, findings.projected, budget);
  } else if (readyProjectionSource(context)) {
    findings.projectedKnown =
        projectTextbook(context.projection, findings.attributes, findings.projected, budget);
  }
  if (!findings.projectedKnown) {
    findings.projected = DependencySet{};
    return;
  }
  sortCover(findings.projected);
  if (!keysAndForm(context, findings.projected, findings.keys, findings.form, findings.keysKnown,
                   findings.formKnown, budget)) {
    return;
  }
  if (!context.rulesAlike) compareWithAnyRule(context, findings, budget);
}

}  // namespace

DesignBudgets designBudgets(bool everySubschema) {
  return {.file = everySubschema ? unlimitedBudget().left : kFileWork,
          .cover = everySubschema ? unlimitedBudget().left : kCoverWork,
          .subschema = kSubschemaWork};
}

void startDesign(DesignContext& context, const DesignBudgets& budgets) {
  context = DesignContext{};
  context.budgets = budgets;
  context.file = WorkBudget{budgets.file};
  context.rulesAlike = rulesFireAlike();
}

const TracedCover* inputCover(DesignContext& context) {
  if (!context.coverTried) {
    context.coverTried = true;
    WorkBudget budget = portion(context, context.budgets.cover);
    const std::uint64_t given = budget.left;
    context.coverFound = budget.left > 0 && minimalCoverOfInput(context.cover, budget);
    settle(context, given, budget);
    if (!context.coverFound) context.cover = TracedCover{};
  }
  return context.coverFound ? &context.cover : nullptr;
}

void findSubschema(DesignContext& context, std::size_t row, SubschemaFindings& findings) {
  findings = SubschemaFindings{};
  findings.attributes = distinctAttributes(subschemaAttributes(row));
  const bool fileBound = context.file.left < context.budgets.subschema;
  WorkBudget budget = portion(context, context.budgets.subschema);
  const std::uint64_t given = budget.left;
  if (given > 0) work(context, findings, budget);
  settle(context, given, budget);
  if (findings.projectedKnown && findings.keysKnown && findings.formKnown) return;
  findings.cut = fileBound ? DesignCut::kFileBudget : DesignCut::kSubschemaBudget;
  ++(fileBound ? context.cutForTheFile : context.cutForThemselves);
}

}  // namespace fdpreserve
