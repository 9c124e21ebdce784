#include "explain/rule_answers.h"

#include "analysis/tables_in_use.h"

namespace fdpreserve::explain {
namespace {

/// Past this many dependency entries the textbook rule is not even tried unless asked for.
constexpr std::size_t kTextbookEntryLimit = 250'000;
/// The work the textbook rule may take unless asked for: a fraction of a second.
constexpr std::uint64_t kTextbookWork = 60'000'000;
/// The work the traces of a report may take unless `--all` asks for every one.
constexpr std::uint64_t kTraceWork = 60'000'000;

void answerTextbook(RuleAnswers& answers, bool asked) {
  const std::size_t entries = dependenciesInUse();
  if (!tablesTraceable()) {
    answers.textbook = TextbookState::kNotTraceable;
    return;
  }
  if (!asked && entries > kTextbookEntryLimit) {
    answers.textbook = TextbookState::kTooLarge;
    return;
  }
  WorkBudget budget = asked ? unlimitedBudget() : WorkBudget{kTextbookWork};
  answers.textbookPreserved.assign(entries, true);
  PassTrace trace;
  for (std::size_t d = 0; d < entries; ++d) {
    tracePasses(trace, d, ClosureRule::kAllLeftAttributes, TraceGoal::kUntilRightReached, budget);
    if (!trace.finished) {
      answers.textbook = TextbookState::kBudgetSpent;
      answers.textbookPreserved.clear();
      answers.textbookFailures = 0;
      return;
    }
    if (trace.missing.empty()) continue;
    answers.textbookPreserved[d] = false;
    ++answers.textbookFailures;
  }
  for (std::size_t d = 0; d < entries; ++d) {
    if (answers.textbookPreserved[d] != isPreserved(answers.ours, d)) answers.parting.push_back(d);
  }
}

}  // namespace

RuleAnswers answerBothRules(const ExplainOptions& options) {
  RuleAnswers answers;
  answers.ours = answerDependencies(AnswerScope::kEveryDependency);
  answerTextbook(answers, options.decidingRule == ClosureRule::kAllLeftAttributes);
  return answers;
}

bool decidingVerdict(const RuleAnswers& answers, const ExplainOptions& options) {
  return options.decidingRule == ClosureRule::kAllLeftAttributes ? preservingTextbook(answers)
                                                                 : preservingOurs(answers);
}

std::string textbookSkipReason(TextbookState state) {
  switch (state) {
    case TextbookState::kDecided:
      break;
    case TextbookState::kTooLarge:
      return "the input has too many dependencies for it to be quick (--rule=textbook computes it)";
    case TextbookState::kBudgetSpent:
      return "it would take too long on this input (--rule=textbook computes it)";
    case TextbookState::kNotTraceable:
      return "the input is too large for it";
  }
  return {};
}

WorkBudget traceBudget(const ExplainOptions& options) {
  return options.all ? unlimitedBudget() : WorkBudget{kTraceWork};
}

}  // namespace fdpreserve::explain
