#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/name_pool.h"

namespace fdpreserve {

/// What the passes over the subschemas give each dependency entry in use, in input order: the
/// entries whose right side is not all reached, and which of its attributes each lacks.
struct DependencyAnswers {
  std::size_t entries = 0;                 ///< the entries answered: every one in use
  std::vector<std::size_t> failedEntries;  ///< the entries not preserved, ascending
  /// The right attributes that failed entry `failedEntries[f]` lacks, each once, in the order of
  /// its right side: `missing[missingBegin[f]]` up to `missing[missingBegin[f + 1]]`.
  std::vector<std::size_t> missingBegin{0};
  std::vector<AttributeId> missing;
};

/// How much of the answers the caller needs.
enum class AnswerScope : std::uint8_t {
  kVerdict,          ///< only whether every entry is preserved: may stop at the first failure
  kEveryDependency,  ///< the answer of every entry
};

/// Answers the dependencies in use against the subschemas in use, as `state` holds them. With
/// `AnswerScope::kVerdict`, `failedEntries` is empty exactly when every entry is preserved, but
/// may hold only some of those that are not.
DependencyAnswers answerDependencies(AnswerScope scope);

/// Whether every entry answered is preserved.
inline bool everyDependencyPreserved(const DependencyAnswers& answers) {
  return answers.failedEntries.empty();
}

/// Whether entry `entry` is preserved.
bool isPreserved(const DependencyAnswers& answers, std::size_t entry);

/// The right attributes that entry `entry` lacks; none when it is preserved.
std::span<const AttributeId> missingAttributes(const DependencyAnswers& answers, std::size_t entry);

/// Records that entry `entry`, later than every entry recorded before, lacks `lacking`.
void recordFailure(DependencyAnswers& answers, std::size_t entry,
                   std::span<const AttributeId> lacking);

}  // namespace fdpreserve
