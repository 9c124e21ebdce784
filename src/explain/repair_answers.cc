// The repair under the deciding rule, and its proof: the engine on the repaired tables, and under
// the textbook rule the textbook answers of every dependency it lost.
#include <algorithm>

#include "analysis/tables_in_use.h"
#include "explain/join_repair_answers.h"
#include "explain/pass_tracer.h"

namespace fdpreserve::explain {
namespace {

/// The work the repair may spend on tracing what each dependency lost under the textbook rule,
/// and on merging its proposals.
constexpr std::uint64_t kRepairWork = 20'000'000;

/// What entry `entry` misses under the textbook rule: traced, or where the trace would take too
/// long, every right attribute not on its left side, which restores it all the same.
std::vector<AttributeId> textbookMissing(std::size_t entry, WorkBudget& budget) {
  PassTrace trace;
  if (tablesTraceable() && budget.left > 0) {
    tracePasses(trace, entry, ClosureRule::kAllLeftAttributes, TraceGoal::kUntilSettled, budget);
    if (trace.finished) return trace.missing;
  }
  const SlotRow left = leftAttributes(entry);
  std::vector<AttributeId> missing;
  for (const AttributeId y : rightAttributes(entry)) {
    if (std::find(left.begin(), left.end(), y) == left.end() &&
        std::find(missing.begin(), missing.end(), y) == missing.end()) {
      missing.push_back(y);
    }
  }
  return missing;
}

std::vector<LostDependency> lostDependencies(const RuleAnswers& answers, ClosureRule rule,
                                             WorkBudget& budget) {
  std::vector<LostDependency> lost;
  if (rule == ClosureRule::kAnyLeftAttribute) {
    for (const std::size_t d : answers.ours.failedEntries) {
      const auto missing = missingAttributes(answers.ours, d);
      lost.push_back({.entry = d, .missing = {missing.begin(), missing.end()}});
    }
    return lost;
  }
  for (std::size_t d = 0; d < answers.textbookPreserved.size(); ++d) {
    if (!answers.textbookPreserved[d]) {
      lost.push_back({.entry = d, .missing = textbookMissing(d, budget)});
    }
  }
  return lost;
}

/// Whether the textbook passes reach the whole right side of every entry `proposal` restores
/// once its subschemas are appended; every other entry keeps what it had, as more subschemas
/// only ever let the passes reach more.
bool restoresUnderTextbookRule(const RepairProposal& proposal) {
  const DecompositionMark mark = appendSubschemas(proposal.added);
  resetPassTracer();
  bool restored = tablesTraceable();
  for (const AddedSubschema& added : proposal.added) {
    for (const std::size_t d : added.restores) {
      WorkBudget budget = unlimitedBudget();
      restored = restored && searchRight(d, ClosureRule::kAllLeftAttributes, ~std::uint64_t{0},
                                         budget) == RightSearch::kReached;
    }
  }
  removeAppendedSubschemas(mark);
  resetPassTracer();
  return restored;
}

}  // namespace

RepairAnswers answerRepair(const RuleAnswers& answers, const ExplainOptions& options) {
  RepairAnswers repair;
  if (decidingVerdict(answers, options)) return repair;
  const ClosureRule rule = designRule(options);
  WorkBudget budget{kRepairWork};
  const std::vector<LostDependency> lost = lostDependencies(answers, rule, budget);
  repair.proposal = proposeRepair(rule, lost, budget);
  repair.verified = rule == ClosureRule::kAnyLeftAttribute
                        ? restoresUnderAnyRule(*repair.proposal)
                        : restoresUnderTextbookRule(*repair.proposal);
  return repair;
}

}  // namespace fdpreserve::explain
