#include "analysis/dependency_answers.h"

#include <algorithm>

namespace fdpreserve {
namespace {

/// The place of `entry` among the failed entries, or their count when it is not among them.
std::size_t failureIndex(const DependencyAnswers& answers, std::size_t entry) {
  const auto found =
      std::lower_bound(answers.failedEntries.begin(), answers.failedEntries.end(), entry);
  if (found == answers.failedEntries.end() || *found != entry) return answers.failedEntries.size();
  return static_cast<std::size_t>(found - answers.failedEntries.begin());
}

}  // namespace

bool isPreserved(const DependencyAnswers& answers, std::size_t entry) {
  return failureIndex(answers, entry) == answers.failedEntries.size();
}

std::span<const AttributeId> missingAttributes(const DependencyAnswers& answers,
                                               std::size_t entry) {
  const std::size_t f = failureIndex(answers, entry);
  if (f == answers.failedEntries.size()) return {};
  return std::span<const AttributeId>(answers.missing)
      .subspan(answers.missingBegin[f], answers.missingBegin[f + 1] - answers.missingBegin[f]);
}

void recordFailure(DependencyAnswers& answers, std::size_t entry,
                   std::span<const AttributeId> lacking) {
  answers.failedEntries.push_back(entry);
  answers.missing.insert(answers.missing.end(), lacking.begin(), lacking.end());
  answers.missingBegin.push_back(answers.missing.size());
}

}  // namespace fdpreserve
