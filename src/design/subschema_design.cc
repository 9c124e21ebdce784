#include "design/subschema_design.h"

#include <algorithm>
#include <numeric>

#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

/// Work a part may take unless a report lifts it: a fraction of a second each.
constexpr std::uint64_t kFileWork = 60'000'000;
constexpr std::uint64_t kCoverWork = 40'000'000;
constexpr std::uint64_t kSubschemaWork = 20'000'000;

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
  WorkBudget budget = portion(context, context.budgets.cover);
  const std::uint64_t given = budget.left;
  if (cover == nullptr) {
    if (budget.left < inputWork(context.rulesAlike) || !splitInput(split, budget)) budget.left = 0;
    cover = &split;
  }
  if (budget.left > 0 && spend(budget, 2 * indexingWork(cover->set))) {
    prepareProjectionSource(context.projection, cover->set);
    context.sourceReady = true;
  }
  settle(context, given, budget);
  return context.sourceReady;
}

/// Orders a cover by its left sides, then right attributes, as people read it.
void sortCover(DependencySet& cover) {
  std::vector<std::size_t> order(dependenciesIn(cover));
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto before = [&](std::size_t a, std::size_t b) {
    if (!sameLeft(cover, a, b)) return leftBefore(cover, a, b);
    return cover.rights[a] < cover.rights[b];
  };
  if (std::is_sorted(order.begin(), order.end(), before)) return;
  std::sort(order.begin(), order.end(), before);
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
    inputCover(context);  // finds the cover on the graph of reach, and leaves that graph here
    prepareReachSource(context.reach);
    findings.projectedKnown =
        projectAnyRule(context.reach, findings.attributes, findings.projected, budget);
  } else if (readyProjectionSource(context)) {
    findings.projectedKnown =
        projectTextbook(context.projection, findings.attributes, findings.projected, budget);
  }
  if (!findings.projectedKnown) {
    clearDependencies(findings.projected, 0);
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
    context.coverFound =
        budget.left > 0 &&
        minimalCoverOfInput(context.cover, context.rulesAlike ? &context.reach : nullptr, budget);
    settle(context, given, budget);
    if (!context.coverFound) context.cover = TracedCover{};
  }
  return context.coverFound ? &context.cover : nullptr;
}

void findSubschema(DesignContext& context, std::size_t row, SubschemaFindings& findings) {
  // Cleared field by field: the next subschema reuses the memory.
  distinctAttributes(subschemaAttributes(row), findings.attributes);
  findings.cut = DesignCut::kNone;
  findings.projectedKnown = findings.keysKnown = findings.formKnown = false;
  clearDependencies(findings.projected, 0);
  findings.keys.clear();
  findings.form = FormFinding{};
  findings.rulesPart = false;
  findings.anyKeys.clear();
  findings.anyForm = FormFinding{};
  const bool fileBound = context.file.left < context.budgets.subschema;
  WorkBudget budget = portion(context, context.budgets.subschema);
  const std::uint64_t given = budget.left;
  if (given > 0) work(context, findings, budget);
  settle(context, given, budget);
  if (findings.projectedKnown && findings.keysKnown && findings.formKnown) return;
  if (!context.rulesAlike && context.sourceTried && !context.sourceReady) {
    findings.cut = DesignCut::kInputTooLarge;
    ++context.cutForTheInput;
  } else if (fileBound) {
    findings.cut = DesignCut::kFileBudget;
    ++context.cutForTheFile;
  } else {
    findings.cut = DesignCut::kSubschemaBudget;
    ++context.cutForThemselves;
  }
}

}  // namespace fdpreserve
