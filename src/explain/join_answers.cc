// The lossless join under both rules: this tool's verdict from the pieces of the step components,
// the textbook one by the chase itself; and the final tableau where the deciding rule finds the
// join lossy.
#include "design/lossless_join.h"
#include "explain/design_answers.h"
#include "explain/pass_tracer.h"

namespace fdpreserve::explain {
namespace {

/// The work this tool's verdict may take unless `--all` lifts it: nearly linear on every input
/// but one made to defeat the order of the components.
constexpr std::uint64_t kVerdictWork = 200'000'000;
/// The work one chase of the tableau may take: a fraction of a second unless `--all` allows
/// more, though never minutes, as a chase on a long chain grows with its square.
constexpr std::uint64_t kChaseWork = 50'000'000;
constexpr std::uint64_t kChaseWorkForAll = 1'000'000'000;

WorkBudget chaseBudget(const ExplainOptions& options) {
  return WorkBudget{options.all ? kChaseWorkForAll : kChaseWork};
}

/// Chases under `rule`; keeps the tableau in `join` when it is lossy and `rule` decides.
ChaseResult chaseFor(JoinAnswers& join, ClosureRule rule, const ExplainOptions& options) {
  auto tableau = std::make_unique<Tableau>();
  WorkBudget budget = chaseBudget(options);
  const bool deciding = rule == designRule(options);
  const ChaseResult result =
      chase(*tableau, rule, budget, deciding && options.all ? &join.steps : nullptr);
  if (!deciding) return result;
  join.stepsCut = result.stepsCut;
  if (!result.finished) {
    join.tableauCut = true;
    join.steps.clear();
  } else if (!result.lossless) {
    join.tableau = std::move(tableau);
  } else {
    join.steps.clear();
  }
  return result;
}

}  // namespace

JoinAnswers answerJoin(const ExplainOptions& options) {
  JoinAnswers join;
  WorkBudget budget = options.all ? unlimitedBudget() : WorkBudget{kVerdictWork};
  const JoinVerdict ours = losslessUnderAnyRule(budget);
  if (ours.decided) {
    join.lossless = ours.lossless;
    join.losslessRow = ours.fullRow;
  }
  // Where every dependency fires on one attribute, the two rules chase alike.
  if (rulesFireAlike()) {
    join.textbookLossless = join.lossless;
    join.textbookLosslessRow = join.losslessRow;
    if (join.lossless.has_value() && !*join.lossless) chaseFor(join, designRule(options), options);
    if (!join.lossless.has_value()) join.tableauCut = true;
    return join;
  }
  const ChaseResult textbook = chaseFor(join, ClosureRule::kAllLeftAttributes, options);
  if (textbook.finished) {
    join.textbookLossless = textbook.lossless;
    join.textbookLosslessRow = textbook.fullRow;
  }
  if (designRule(options) == ClosureRule::kAnyLeftAttribute) {
    if (join.lossless.has_value() && !*join.lossless)
      chaseFor(join, ClosureRule::kAnyLeftAttribute, options);
    if (!join.lossless.has_value()) join.tableauCut = true;
  }
  return join;
}

DesignAnswers answerDesign(const RuleAnswers& answers, const ExplainOptions& options) {
  DesignAnswers design;
  design.join = answerJoin(options);
  design.repair = answerRepair(answers, options);
  return design;
}

}  // namespace fdpreserve::explain
