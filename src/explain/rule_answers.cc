#include "explain/rule_answers.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "analysis/tables_in_use.h"
#include "design/any_rule_projection.h"

namespace fdpreserve::explain {
namespace {

/// Past this many dependency entries the textbook rule is not even tried unless asked for.
constexpr std::size_t kTextbookEntryLimit = 250'000;
/// The work the textbook rule may take unless asked for: a fraction of a second.
constexpr std::uint64_t kTextbookWork = 20'000'000;
/// The work the traces of a report may take unless `--all` asks for every one: a share for each
/// attribute, subschema and dependency, so that a large file's traces cost in proportion to its
/// tables, between a floor that traces every failure of a course's exercise and a cap.
constexpr std::uint64_t kTraceWorkPerTableEntry = 16;
constexpr std::uint64_t kTraceWorkFloor = 2'000'000;
constexpr std::uint64_t kTraceWork = 20'000'000;

/// Whether the textbook passes reach the right side of `entry`, found by ever longer searches:
/// each closure cut short, and each try allowed little work, at first, so that most entries cost a
/// few steps; the last try cuts nothing. Empty when the budget ran out first.
std::optional<bool> textbookReachesRight(std::size_t entry, WorkBudget& budget) {
  constexpr std::uint64_t kUncut = ~std::uint64_t{0};
  constexpr std::array<std::pair<std::uint64_t, std::uint64_t>, 4> kTries{
      {{16, 2'000}, {128, 20'000}, {1'024, 200'000}, {kUncut, kUncut}}};
  for (const auto& [stepWork, tryWork] : kTries) {
    WorkBudget allowed{std::min(tryWork, budget.left)};
    const std::uint64_t before = allowed.left;
    const RightSearch found =
        searchRight(entry, ClosureRule::kAllLeftAttributes, stepWork, allowed);
    budget.left -= before - allowed.left;
    if (found != RightSearch::kUndecided) return found == RightSearch::kReached;
  }
  return std::nullopt;
}

void answerTextbook(RuleAnswers& answers, bool asked) {
  const std::size_t entries = dependenciesInUse();
  if (!tablesTraceable()) {
    answers.textbook = TextbookState::kNotTraceable;
    return;
  }
  if (rulesFireAlike()) {
    answers.textbookPreserved.assign(entries, true);
    for (const std::size_t d : answers.ours.failedEntries) answers.textbookPreserved[d] = false;
    answers.textbookFailures = answers.ours.failedEntries.size();
    return;
  }
  if (!asked && entries > kTextbookEntryLimit) {
    answers.textbook = TextbookState::kTooLarge;
    return;
  }
  answers.textbookPreserved.assign(entries, true);
  WorkBudget budget = asked ? unlimitedBudget() : WorkBudget{kTextbookWork};
  // Without an empty left side, the textbook rule reaches no more than ours: what ours misses,
  // it misses too.
  const bool oursDecidesFailures = !anyEmptyLeftSide();
  const auto& failed = answers.ours.failedEntries;
  std::size_t nextFailure = 0;
  for (std::size_t d = 0; d < entries; ++d) {
    const bool oursFails = nextFailure < failed.size() && failed[nextFailure] == d;
    if (oursFails) ++nextFailure;
    std::optional<bool> preserved;
    if (oursFails && oursDecidesFailures) {
      preserved = false;
    } else if (carriedByOneSubschema(d)) {
      preserved = true;
    } else {
      preserved = textbookReachesRight(d, budget);
    }
    if (!preserved.has_value()) {
      answers.textbook = TextbookState::kBudgetSpent;
      answers.textbookPreserved.clear();
      answers.textbookFailures = 0;
      return;
    }
    if (*preserved) continue;
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

std::string textbookSkipReason(Language language, TextbookState state) {
  switch (state) {
    case TextbookState::kDecided:
      break;
    case TextbookState::kTooLarge:
      return phrase(language, "textbook.too-many-dependencies");
    case TextbookState::kBudgetSpent:
      return phrase(language, "textbook.too-long");
    case TextbookState::kNotTraceable:
      return phrase(language, "textbook.too-large");
  }
  return {};
}

WorkBudget traceBudget(const ExplainOptions& options) {
  if (options.all) return unlimitedBudget();
  const std::uint64_t entries = attributeIds() + subschemasInUse() + dependenciesInUse();
  return WorkBudget{std::clamp(kTraceWorkPerTableEntry * entries, kTraceWorkFloor, kTraceWork)};
}

}  // namespace fdpreserve::explain
