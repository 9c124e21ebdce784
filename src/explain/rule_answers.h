#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/dependency_answers.h"
#include "explain/explain_options.h"
#include "explain/pass_tracer.h"

namespace fdpreserve::explain {

/// Why the textbook rule was not decided for the input.
enum class TextbookState : std::uint8_t {
  kDecided,       ///< every entry has its textbook answer
  kTooLarge,      ///< skipped up front: the input has too many dependencies
  kBudgetSpent,   ///< started, and given up when the work allowed for it ran out
  kNotTraceable,  ///< the tables outgrow the tracer's indexes
};

/// Both rules' answers for every dependency entry of the input in `state`.
struct RuleAnswers {
  DependencyAnswers ours;  ///< from the engine, as fdpreserve decides
  TextbookState textbook = TextbookState::kDecided;
  std::vector<bool> textbookPreserved;  ///< per entry, when decided
  std::size_t textbookFailures = 0;
  std::vector<std::size_t> parting;  ///< entries the two rules answer differently, ascending
};

/// Answers every entry under our rule through the engine and, unless the input is too large for
/// it and `options` does not let the textbook rule decide, under the textbook rule.
RuleAnswers answerBothRules(const ExplainOptions& options);

/// Whether every entry is preserved under this tool's rule.
inline bool preservingOurs(const RuleAnswers& answers) {
  return everyDependencyPreserved(answers.ours);
}

/// Whether every entry is preserved under the textbook rule; only when it was decided.
inline bool preservingTextbook(const RuleAnswers& answers) {
  return answers.textbookFailures == 0;
}

/// The verdict of the rule that decides, as `options` chose it.
bool decidingVerdict(const RuleAnswers& answers, const ExplainOptions& options);

/// Why the textbook rule was not decided, in words of `language`; empty when it was.
std::string textbookSkipReason(Language language, TextbookState state);

/// The work a report may spend on traces of its own accord; `--all` lifts it.
WorkBudget traceBudget(const ExplainOptions& options);

}  // namespace fdpreserve::explain
