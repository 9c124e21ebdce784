#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/digraph.h"
#include "design/closure_rule.h"

namespace fdpreserve {

/// What the chase fires, gathered once from the dependencies in `state`: many dependencies share
/// a left side, and the chase need only know, for each left side, every column its right sides
/// name, each once with the first dependency that names it.
struct ChaseRules {
  /// Columns: the attribute ids, then under this tool's rule without entries one node for each
  /// dependency whose sides the step graph links through a node of its own.
  std::size_t columns = 0;
  /// Steps on one column x: rows that agree in x get equal symbols in each column
  /// `stepTargets[stepBegin[x], stepBegin[x + 1])`, for the dependency `stepEntries` holds at the
  /// same place when entries are kept.
  std::vector<std::size_t> stepBegin;
  std::vector<NodeId> stepTargets;
  std::vector<std::uint32_t> stepEntries;
  /// Left sides of several columns (the textbook rule): side g is
  /// `sideColumns[sideBegin[g], sideBegin[g + 1])`, ascending, and the columns its right sides
  /// name are `rightColumns[rightBegin[g], rightBegin[g + 1])`, each with its entry.
  std::vector<std::size_t> sideBegin{0};
  std::vector<NodeId> sideColumns;
  std::vector<std::size_t> rightBegin;
  std::vector<NodeId> rightColumns;
  std::vector<std::uint32_t> rightEntries;
  /// For each column, the sides of several columns that hold it:
  /// `sidesHolding[sidesBegin[c], sidesBegin[c + 1])`.
  std::vector<std::size_t> sidesBegin;
  std::vector<std::uint32_t> sidesHolding;
  /// Right sides that fire on every two rows, of dependencies with nothing on their left (the
  /// textbook rule), each column once with its entry.
  std::vector<NodeId> everywhereColumns;
  std::vector<std::uint32_t> everywhereEntries;
};

/// The graph of single steps x -> y, one for each x on a left side and y on the same right side;
/// dependencies with long sides are linked through a node of their own.
Digraph stepsOfDependencies();

/// The rules of the chase under `rule`. Under this tool's rule every dependency X->Y is a step
/// x->y for each x in X and y in Y; under the textbook rule only where X is one attribute. With
/// `keepEntries`, each step and right column knows the first dependency entry that gives it.
ChaseRules chaseRules(ClosureRule rule, bool keepEntries);

}  // namespace fdpreserve
