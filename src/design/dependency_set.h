#pragma once

// Functional dependencies with one right attribute each, and their closure under the textbook
// rule: a dependency fires once every attribute of its left side is reached, an empty left side at
// once. Counters per dependency and an index from attributes to the dependencies whose left side
// holds them make a closure linear in the dependencies it looks at.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "design/attribute_lists.h"
#include "design/work_budget.h"
#include "model/name_pool.h"

namespace fdpreserve {

/// Dependencies over the attributes 0 to `attributes` - 1: the input's ids, or the places of a
/// subschema's own attributes. Each has one right attribute, which its left side does not hold.
struct DependencySet {
  std::size_t attributes = 0;
  std::vector<std::size_t> leftEnds;  ///< dependency i's left side ends at `lefts[leftEnds[i]]`
  std::vector<AttributeId> lefts;     ///< every left side, each ascending and without repeats
  std::vector<AttributeId> rights;    ///< the right attribute of each dependency
};

/// The number of dependencies in `set`.
inline std::size_t dependenciesIn(const DependencySet& set) {
  return set.rights.size();
}

/// The left side of dependency `i`, ascending.
inline std::span<const AttributeId> leftOf(const DependencySet& set, std::size_t i) {
  const std::size_t begin = i == 0 ? 0 : set.leftEnds[i - 1];
  return std::span<const AttributeId>(set.lefts).subspan(begin, set.leftEnds[i] - begin);
}

/// Whether dependencies `a` and `b` of `set` have the same left side.
inline bool sameLeft(const DependencySet& set, std::size_t a, std::size_t b) {
  const auto left = leftOf(set, a);
  const auto other = leftOf(set, b);
  return std::equal(left.begin(), left.end(), other.begin(), other.end());
}

/// Whether the left side of dependency `a` comes before that of `b`, attribute by attribute.
inline bool leftBefore(const DependencySet& set, std::size_t a, std::size_t b) {
  const auto left = leftOf(set, a);
  const auto other = leftOf(set, b);
  return std::lexicographical_compare(left.begin(), left.end(), other.begin(), other.end());
}

/// Empties `set` for dependencies over `attributes` attributes, keeping its memory.
void clearDependencies(DependencySet& set, std::size_t attributes);

/// Appends `left -> right`; `left` is ascending, without repeats, and does not hold `right`.
void addDependency(DependencySet& set, std::span<const AttributeId> left, AttributeId right);

/// No target: a closure that runs until nothing more fires.
inline constexpr AttributeId kNoTarget = ~AttributeId{0};

/// The index of a set for closing lists of attributes under it, and the marks of the closures.
struct Closer {
  AttributeLists firing;              ///< for each attribute, the dependencies whose left holds it
  std::vector<RowIndex> leftCount;    ///< the attributes of each left side
  std::vector<RowIndex> emptyLeft;    ///< the dependencies that fire at once
  std::vector<std::uint8_t> off;      ///< 1 for a dependency closures leave out
  RowIndex run = 0;                   ///< the closure last run
  std::vector<RowIndex> reachedMark;  ///< attribute: in the closure of run `run`
  std::vector<RowIndex> countedMark;  ///< dependency: `remaining` counts for run `run`
  std::vector<RowIndex> remaining;    ///< dependency: left attributes not reached yet
  std::vector<AttributeId> members;   ///< the closure, in the order reached
  std::vector<RowIndex> fired;        ///< the dependencies that fired, in order
};

/// Indexes `set`; every dependency takes part until `off` says otherwise.
void buildCloser(Closer& closer, const DependencySet& set);

/// How a closure ended.
enum class Closure : std::uint8_t {
  kWhole,          ///< nothing more fires: `members` is the whole closure
  kTargetReached,  ///< it stopped once the target was reached
  kOverBudget,     ///< the budget ran out first
};

/// Closes `start` under the dependencies of `set` that are not off, spending about one unit for
/// each attribute and dependency it looks at; stops early once `target` is reached.
Closure closeAttributes(Closer& closer, const DependencySet& set,
                        std::span<const AttributeId> start, AttributeId target, WorkBudget& budget);

/// Whether the last closure reached `a`.
inline bool inClosure(const Closer& closer, AttributeId a) {
  return closer.reachedMark[a] == closer.run;
}

}  // namespace fdpreserve
