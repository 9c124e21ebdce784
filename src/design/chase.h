#pragma once

#include <cstddef>
#include <vector>

#include "design/closure_rule.h"
#include "design/tableau.h"
#include "design/work_budget.h"

namespace fdpreserve {

/// One step of the chase that changed the tableau: rows that agree on the dependency's left
/// attributes get equal symbols in a column of its right side.
struct ChaseStep {
  std::size_t entry = 0;              ///< the dependency entry that fired
  std::vector<AttributeId> agreedOn;  ///< one left attribute under this tool's rule, all of
                                      ///< them under the textbook rule
  AttributeId column = kFreeSlot;     ///< where the symbols were equated
  std::vector<std::uint32_t> rows;    ///< two rows that agreed, ascending
  bool distinguished = false;         ///< whether the symbol they now share is distinguished
};

/// How a chase ended.
struct ChaseResult {
  bool finished = false;    ///< false when the budget, or the room for symbols, ran out first
  bool lossless = false;    ///< when finished: some row is distinguished in every column
  std::size_t fullRow = 0;  ///< when lossless: such a row
  bool stepsCut = false;    ///< some steps were not kept, for their number
};

/// Chases the tableau of the tables in `state` under `rule` until nothing changes: rows that
/// agree on a dependency's left attributes (any one of them under this tool's rule, all of them
/// under the textbook rule, where an empty left side makes every two rows agree) get equal symbols
/// in each column of its right side. Keeps the steps that joined two classes in `steps` when
/// given, naming two rows that agreed; spends `budget`, and gives up when it runs out or the
/// tableau outgrows its room.
ChaseResult chase(Tableau& tableau, ClosureRule rule, WorkBudget& budget,
                  std::vector<ChaseStep>* steps);

}  // namespace fdpreserve
