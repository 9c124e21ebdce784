#pragma once

// A minimal (canonical) cover under the textbook rule: one attribute on each right side, no left
// attribute the rest of the cover makes needless, no dependency the others imply.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "design/any_rule_projection.h"
#include "design/dependency_set.h"
#include "design/work_budget.h"

namespace fdpreserve {

/// What a dependency became when a set was made minimal.
inline constexpr RowIndex kDropped = ~RowIndex{0};

/// Merges the dependencies of `set` with the same sides into the first of them, keeping the order
/// of first appearance; `becomes[i]` says where dependency i went. False, with `set` as it was,
/// when the budget ran out.
bool mergeRepeats(DependencySet& set, std::vector<RowIndex>& becomes, WorkBudget& budget);

/// `becomes` followed by `then`: where each dependency went after both steps, or `kDropped`.
void composePlaces(std::vector<RowIndex>& becomes, const std::vector<RowIndex>& then);

/// The work of indexing `set` for closures, in budget units.
std::uint64_t indexingWork(const DependencySet& set);

/// Makes `set` a minimal cover of itself: repeats merged, extraneous left attributes dropped (each
/// left side tried attribute by attribute, in ascending order), then redundant dependencies
/// dropped (in order, each tested against those still kept). `becomes[i]` says where dependency
/// i of the set as given ended up, or `kDropped`. The dependencies keep the order in which each
/// first appeared. False, and `set` unusable, when the budget ran out.
bool minimizeCover(DependencySet& set, std::vector<RowIndex>& becomes, WorkBudget& budget);

/// A set of dependencies, each with the input entries it came from.
struct TracedCover {
  DependencySet set;
  std::vector<std::size_t> fromEnds;  ///< dependency i came from `from` up to `from[fromEnds[i]]`
  std::vector<std::size_t> from;      ///< entry numbers, ascending for each dependency
};

/// The entries dependency `i` of `cover` came from.
inline std::span<const std::size_t> entriesOf(const TracedCover& cover, std::size_t i) {
  const std::size_t begin = i == 0 ? 0 : cover.fromEnds[i - 1];
  return std::span<const std::size_t>(cover.from).subspan(begin, cover.fromEnds[i] - begin);
}

/// The input's dependencies in `state`, one for each right attribute of each entry: its left side
/// without repeats, over attribute ids. A right attribute that stands on its own left side holds
/// always, and so does an entry with nothing on its right (the empty entry after a final line feed
/// among them): they add nothing. An entry with nothing on its left gives dependencies that fire
/// at once. False when the budget ran out first.
bool splitInput(TracedCover& cover, WorkBudget& budget);

/// About the least work of reading the input's dependencies into a set, sorting and indexing it;
/// less when every left side is a single attribute.
std::uint64_t inputWork(bool singleLeft);

/// A minimal cover of the input's dependencies, each traced to the entries whose dependencies
/// were merged into it; `minimizeSingleLeftCover`'s when every left side is a single attribute.
/// False when the budget ran out, or would run out on reading the input alone. `reach`, given
/// when the rules fire alike, says that every left side is a single attribute, which reads
/// cheaper, and receives the graph of reach the cover is found on.
bool minimalCoverOfInput(TracedCover& cover, ReachSource* reach, WorkBudget& budget);

}  // namespace fdpreserve
