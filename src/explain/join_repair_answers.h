#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "design/chase.h"
#include "design/repair.h"
#include "explain/explain_options.h"
#include "explain/rule_answers.h"

namespace fdpreserve::explain {

/// Why the final tableau of a lossy join is left out.
enum class TableauCut : std::uint8_t {
  kNone,      ///< it is not: the tableau is there, or the join is lossless
  kTooLarge,  ///< too many cells to list (`--all` lists them)
  kTooLong,   ///< its chase would take too long, or more memory than it is worth
};

/// The chase's answers on the input in `state`: whether the join is lossless under each rule,
/// and where it is lossy under the deciding rule, the final tableau.
struct JoinAnswers {
  std::optional<bool> lossless;          ///< this tool's rule; empty when the budget ran out first
  std::size_t losslessRow = 0;           ///< when lossless: a row distinguished in every column
  std::optional<bool> textbookLossless;  ///< empty when the chase ran out of budget or room
  std::size_t textbookLosslessRow = 0;
  /// The final tableau of the chase under the deciding rule, when that rule finds the join lossy
  /// and the chase finished; its steps with `--all`.
  std::unique_ptr<Tableau> tableau;
  TableauCut tableauCut = TableauCut::kNone;  ///< why a lossy join has no tableau
  std::vector<ChaseStep> steps;
  bool stepsCut = false;
};

/// The repair under the deciding rule, and whether the engine (and for the textbook rule the
/// textbook answers) preserve every lost dependency with it.
struct RepairAnswers {
  std::optional<RepairProposal> proposal;  ///< empty when the input is preserving already
  bool verified = false;
};

/// Everything the report says of the decomposition beyond preservation.
struct JoinRepairAnswers {
  JoinAnswers join;
  RepairAnswers repair;
};

/// How much of the join a report needs.
enum class JoinScope : std::uint8_t {
  kVerdicts,     ///< whether it is lossless under each rule
  kWithTableau,  ///< and where the deciding rule finds it lossy, the final tableau
};

/// Decides the join of the tables in `state` under both rules, within budgets that `--all`
/// raises; the textbook rule is not chased on an input `answers` found too large for it, unless it
/// decides.
JoinAnswers answerJoin(const RuleAnswers& answers, const ExplainOptions& options,
                       JoinScope scope = JoinScope::kWithTableau);

/// Proposes the repair under the deciding rule, for which `answers` decided, and proves it on
/// the tables in `state`, which it puts back as they were.
RepairAnswers answerRepair(const RuleAnswers& answers, const ExplainOptions& options);

/// Both of the above.
JoinRepairAnswers answerJoinAndRepair(const RuleAnswers& answers, const ExplainOptions& options);

/// The rule whose repair and tableau the report shows.
inline ClosureRule designRule(const ExplainOptions& options) {
  return options.decidingRule;
}

}  // namespace fdpreserve::explain
