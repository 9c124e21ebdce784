#pragma once

#include "analysis/digraph.h"

namespace fdpreserve {

/// The graph of reach steps: an edge from a to r when a dependency in use holds a on its left
/// side and r on its right. Nodes are the attribute ids, then one node for each dependency whose
/// sides are large enough to be linked through a node of their own, so that no edge list grows
/// with the product of two sides. Each edge is kept once.
Digraph stepGraph();

}  // namespace fdpreserve
