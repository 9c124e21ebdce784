#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "analysis/digraph.h"
#include "analysis/reach_index.h"

namespace fdpreserve {

/// Edges of the grow graph, in which the passes over the subschemas grow what a left side
/// reaches: x to y when a subschema holds both and the reach steps lead from x to y, on a way that
/// may leave the subschema. Those edges can number the square of a subschema; these are far
/// fewer, with the same reach, as the reach within one subschema is its own closure.
struct SubschemaLinks {
  std::vector<std::pair<NodeId, NodeId>> links;  ///< between attribute ids and inner nodes
  /// The step components that stand inside wide subschemas, as grow nodes of their own: numbered
  /// from the first node asked for on, this many.
  std::size_t innerNodes = 0;
  /// Wide subschemas that are not one chain and whose own steps were not searched, for want of
  /// work left: the links keep only part of their reach.
  std::vector<std::size_t> incomplete;
};

/// The links of every subschema in use. `stepComponent` gives the component of each attribute in
/// the graph of reach steps, and `stepReach` answers reach between those components. Inner nodes
/// are numbered from `firstInnerNode` on.
SubschemaLinks linkSubschemas(const std::vector<NodeId>& stepComponent, ReachIndex& stepReach,
                              NodeId firstInnerNode);

}  // namespace fdpreserve
