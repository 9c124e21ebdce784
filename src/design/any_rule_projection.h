#pragma once

// What a subschema keeps under this tool's rule, where a dependency fires as soon as any one of
// its left attributes is reached: each X->Y is read as x->Y for every x in X, an empty left side
// never fires, and what a set determines is the union of what each of its attributes reaches.
// The projection is then the reach among the subschema's own attributes.

#include <span>
#include <vector>

#include "analysis/reach_index.h"
#include "design/dependency_set.h"
#include "design/work_budget.h"

namespace fdpreserve {

/// The reach of every attribute of the input in `state`: the components of the graph of reach
/// steps and labels that answer most questions between them at once.
struct ReachSource {
  bool built = false;
  std::vector<NodeId> componentOf;  ///< for each attribute id (and step node), its component
  ReachIndex index;
  RowIndex run = 0;
  std::vector<RowIndex> groupMark;  ///< component: `groupOf` holds for run `run`
  std::vector<RowIndex> groupOf;    ///< component: its group in the subschema of run `run`
};

/// Whether the two rules fire every dependency of the input in `state` alike: none has an empty
/// left side and something on its right, and none two or more left attributes. Read off the
/// tables, which a large input need not index for this.
bool rulesFireAlike();

/// Builds `source` for the input in `state`, once; linear in the input.
void prepareReachSource(ReachSource& source);

/// A minimal cover of what the subschema of `attributes` (distinct ids) keeps under this tool's
/// rule, over their places in it: a cycle through the attributes that reach one another, and an
/// arrow between two such groups where one reaches the other through no third. False when the
/// budget ran out first.
bool projectAnyRule(ReachSource& source, std::span<const AttributeId> attributes,
                    DependencySet& projected, WorkBudget& budget);

}  // namespace fdpreserve
