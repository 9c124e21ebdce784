#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "design/closure_rule.h"
#include "design/work_budget.h"
#include "model/name_pool.h"

namespace fdpreserve {

/// A dependency entry that the passes do not preserve under some rule.
struct LostDependency {
  std::size_t entry = 0;
  std::vector<AttributeId> missing;  ///< the right attributes they do not reach
};

/// A subschema to add to the decomposition, and the lost entries it restores, ascending.
struct AddedSubschema {
  std::vector<AttributeId> attributes;
  std::vector<std::size_t> restores;
};

/// Subschemas that make a decomposition preserving under `rule`.
struct RepairProposal {
  ClosureRule rule = ClosureRule::kAnyLeftAttribute;
  std::vector<AddedSubschema> added;      ///< in the order of the first entry each restores
  std::vector<std::size_t> unrepairable;  ///< entries no subschema can restore, ascending
};

/// Proposes subschemas that restore `lost` (ascending by entry) under `rule`: for each, one
/// holding its left side and what it misses, which the passes reach from the left side within
/// that one subschema whatever the others hold. Those with the same left side become one, and one
/// whose attributes another holds goes into that one, so there are never more than lost entries
/// and no existing subschema changes. Under this tool's rule an empty left side never fires, and
/// such an entry is unrepairable. Spends `budget` on the search for containing proposals, and
/// merges no more once it runs out.
RepairProposal proposeRepair(ClosureRule rule, std::span<const LostDependency> lost,
                             WorkBudget& budget);

/// What the decomposition table held before subschemas were appended to it.
struct DecompositionMark {
  std::size_t slots = 0;
  std::size_t rowEnds = 0;
  std::size_t wrapRows = 0;
  std::int64_t schemaCount = 0;
};

/// Appends `added` to the subschemas in `state`, after the last one; the marks say how to put
/// the table back.
DecompositionMark appendSubschemas(std::span<const AddedSubschema> added);

/// Puts the subschemas in `state` back as `mark` found them.
void removeAppendedSubschemas(const DecompositionMark& mark);

/// The entries the engine finds not preserved once `added` is appended to the subschemas in
/// `state`, which are then put back as they were.
std::vector<std::size_t> entriesLostWith(std::span<const AddedSubschema> added);

/// Whether the engine preserves every lost entry but the unrepairable ones once `proposal` is
/// appended to the subschemas in `state`, which are then put back as they were.
bool restoresUnderAnyRule(const RepairProposal& proposal);

}  // namespace fdpreserve
