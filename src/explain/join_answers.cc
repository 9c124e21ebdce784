// The lossless join under both rules: this tool's verdict from the pieces of the step components,
// the textbook one by the chase itself where the rules cannot tell it at once; and the final
// tableau where the deciding rule finds the join lossy.
#include "analysis/tables_in_use.h"
#include "design/any_rule_projection.h"
#include "design/lossless_join.h"
#include "explain/join_repair_answers.h"
#include "explain/pass_tracer.h"

namespace fdpreserve::explain {
namespace {

/// The work this tool's verdict may take unless `--all` lifts it: nearly linear on every input
/// but one made to defeat the order of the components.
constexpr std::uint64_t kVerdictWork = 200'000'000;
/// The work one chase may take: a fraction of a second unless `--all` allows more, though never
/// minutes.
constexpr std::uint64_t kChaseWork = 20'000'000;
constexpr std::uint64_t kChaseWorkForAll = 1'000'000'000;
/// Tableaux of more cells than this are not chased for their rows unless `--all` asks: a report
/// lists a tableau a student can read.
constexpr std::size_t kShownCells = 100'000;

/// The number of cells of the tableau in the schema's columns.
std::size_t schemaCells() {
  std::vector<std::uint8_t> held(attributeIds(), 0);
  std::size_t columns = 0;
  for (std::size_t r = 0; r < subschemasInUse(); ++r) {
    for (const AttributeId a : subschemaAttributes(r)) {
      if (held[a] == 0) ++columns;
      held[a] = 1;
    }
  }
  return columns * subschemasInUse();
}

/// Chases under `rule`; keeps the tableau in `join` when it is lossy and `rule` decides.
ChaseResult chaseFor(JoinAnswers& join, ClosureRule rule, const ExplainOptions& options) {
  auto tableau = std::make_unique<Tableau>();
  WorkBudget budget{options.all ? kChaseWorkForAll : kChaseWork};
  const bool deciding = rule == designRule(options);
  const ChaseResult result =
      chase(*tableau, rule, budget, deciding && options.all ? &join.steps : nullptr);
  if (!deciding) return result;
  join.stepsCut = result.stepsCut;
  if (!result.finished) {
    join.tableauCut = TableauCut::kTooLong;
  } else if (!result.lossless) {
    join.tableau = std::move(tableau);
  }
  if (join.tableau == nullptr) join.steps.clear();
  return result;
}

/// The textbook verdict where it follows from this tool's without a chase; empty elsewhere.
std::optional<bool> textbookFromOurs(const JoinAnswers& join, const JoinVerdict& ours) {
  // A subschema that holds the whole schema is a row distinguished everywhere from the start.
  if (ours.holdsSchema) return true;
  // Where every dependency fires on one attribute, the two rules chase alike. Where none fires
  // on nothing, the textbook rule equates only what this tool's rule equates too: a join lossy
  // under this tool's rule is lossy under the textbook rule.
  if (!join.lossless.has_value()) return std::nullopt;
  if (rulesFireAlike()) return join.lossless;
  if (!*join.lossless && !anyEmptyLeftSide()) return false;
  return std::nullopt;
}

}  // namespace

JoinAnswers answerJoin(const RuleAnswers& answers, const ExplainOptions& options, JoinScope scope) {
  JoinAnswers join;
  WorkBudget budget = options.all ? unlimitedBudget() : WorkBudget{kVerdictWork};
  const JoinVerdict ours = losslessUnderAnyRule(budget);
  if (ours.decided) {
    join.lossless = ours.lossless;
    join.losslessRow = ours.fullRow;
  }
  const bool oursDecides = designRule(options) == ClosureRule::kAnyLeftAttribute;
  join.textbookLossless = textbookFromOurs(join, ours);
  if (!join.textbookLossless.has_value()) {
    // As for the textbook answers, an input of too many dependencies is not even tried.
    const bool tooLarge = answers.textbook == TextbookState::kTooLarge ||
                          answers.textbook == TextbookState::kNotTraceable;
    if (!tooLarge || options.all || !oursDecides) {
      const ChaseResult textbook = chaseFor(join, ClosureRule::kAllLeftAttributes, options);
      if (textbook.finished) {
        join.textbookLossless = textbook.lossless;
        join.textbookLosslessRow = textbook.fullRow;
      }
    }
  } else if (!*join.textbookLossless && !oursDecides && scope == JoinScope::kWithTableau) {
    if (!options.all && schemaCells() > kShownCells) {
      join.tableauCut = TableauCut::kTooLarge;
    } else {
      chaseFor(join, ClosureRule::kAllLeftAttributes, options);
    }
  }
  if (!oursDecides || scope == JoinScope::kVerdicts) return join;
  if (!join.lossless.has_value()) {
    join.tableauCut = TableauCut::kTooLong;
  } else if (!*join.lossless) {
    if (!options.all && schemaCells() > kShownCells) {
      join.tableauCut = TableauCut::kTooLarge;
    } else if (ours.distinguishedCells > tableauRoom(attributeIds(), false)) {
      // A tableau that cannot hold the cells known to end distinguished is not worth chasing.
      join.tableauCut = TableauCut::kTooLong;
    } else {
      chaseFor(join, ClosureRule::kAnyLeftAttribute, options);
    }
  }
  return join;
}

JoinRepairAnswers answerJoinAndRepair(const RuleAnswers& answers, const ExplainOptions& options) {
  JoinRepairAnswers design;
  design.join = answerJoin(answers, options);
  design.repair = answerRepair(answers, options);
  return design;
}

}  // namespace fdpreserve::explain
