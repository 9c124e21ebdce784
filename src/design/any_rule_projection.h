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

/// Rows of bits, one row a group of attributes.
struct BitRows {
  std::size_t words = 0;
  std::vector<std::uint64_t> bits;
};

/// The reach of every attribute of the input in `state`: the components of the graph of reach
/// steps and labels that answer most questions between them at once.
struct ReachSource {
  bool built = false;
  std::vector<NodeId> componentOf;  ///< for each attribute id (and step node), its component
  ReachIndex index;
  RowIndex run = 0;
  std::vector<RowIndex> groupMark;  ///< component: `groupOf` holds for run `run`
  std::vector<RowIndex> groupOf;    ///< component: its group in the subschema of run `run`
  // What one projection works with, kept from one subschema to the next.
  std::vector<NodeId> groupComponent;  ///< group: its component
  std::vector<RowIndex> groupOfPlace;  ///< place: its group
  std::vector<AttributeId> firstOfGroup;
  std::vector<AttributeId> latestOfGroup;
  BitRows reach;      ///< group: the groups it reaches
  BitRows reachedBy;  ///< group: the groups that reach it
};

/// Whether the two rules fire every dependency of the input in `state` alike: none has an empty
/// left side and something on its right, and none two or more left attributes. Read off the
/// tables, which a large input need not index for this.
bool rulesFireAlike();

/// Builds `source` for the input in `state`, once; linear in the input.
void prepareReachSource(ReachSource& source);

/// Makes `source` the components `componentOf` and their labels `index`, of a graph whose reach
/// between attributes is the input's under this tool's rule.
void takeReachSource(ReachSource& source, std::vector<NodeId> componentOf, ReachIndex index);

/// A minimal cover of what the subschema of `attributes` (distinct ids) keeps under this tool's
/// rule, over their places in it: a cycle through the attributes that reach one another, and an
/// arrow between two such groups where one reaches the other through no third. False when the
/// budget ran out first.
bool projectAnyRule(ReachSource& source, std::span<const AttributeId> attributes,
                    DependencySet& projected, WorkBudget& budget);

}  // namespace fdpreserve
