#pragma once

// What a set of dependencies implies among some of its attributes alone, by eliminating every
// other attribute: each dependency that gives an eliminated attribute is combined with each that
// needs it (X -> b and bZ -> c give XZ -> c), and then both go. What is left after the last
// elimination is a cover of the dependencies that hold among the attributes kept.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "design/dependency_set.h"
#include "design/work_budget.h"

namespace fdpreserve {

/// Dependencies over the attributes 0 to `attributes` - 1, each left side a row of bits, kept
/// free of any dependency another with the same right attribute and a smaller left side makes
/// needless.
struct Resolution {
  std::size_t attributes = 0;
  std::size_t words = 0;                ///< words of one left side
  std::vector<std::uint64_t> leftBits;  ///< dependency i's left side: words [i * words, ...)
  std::vector<AttributeId> rights;
  std::vector<std::uint8_t> alive;
  std::vector<std::vector<RowIndex>> giving;   ///< for each attribute, dependencies with it right
  std::vector<std::vector<RowIndex>> needing;  ///< for each attribute, dependencies with it left
  std::vector<std::size_t> givingAlive;        ///< how many of `giving` are alive
  std::vector<std::size_t> needingAlive;       ///< how many of `needing` are alive
};

/// An empty resolution over `attributes` attributes.
void startResolution(Resolution& resolution, std::size_t attributes);

/// Adds `left -> right` unless a dependency with the same right side and a left side within
/// `left` is there; drops those whose left side holds all of `left`. `left` is a row of bits.
void addResolvent(Resolution& resolution, std::span<const std::uint64_t> left, AttributeId right,
                  WorkBudget& budget);

/// Eliminates the attributes from `kept` on, those that make the fewest combinations first, and
/// returns the dependencies left, all over the attributes 0 to `kept` - 1. False when the budget
/// ran out first.
bool eliminateAttributes(Resolution& resolution, std::size_t kept, DependencySet& remaining,
                         WorkBudget& budget);

}  // namespace fdpreserve
