#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "analysis/digraph.h"
#include "analysis/reach_index.h"

namespace fdpreserve {

/// One group of a wide subschema: its component in the graph of reach steps, and the node that
/// stands for it in the grow graph (one of its attributes).
struct GroupNode {
  NodeId component = 0;
  NodeId node = 0;
};

/// What the searches for the inner steps of wide subschemas share: memory a few words a step
/// component, used again from one subschema to the next, and the work left to them.
struct InnerSteps {
  std::vector<std::uint32_t> metBy;  ///< per step component: the search, plus one, that met it
  std::vector<NodeId> nodeOf;        ///< per component met: its grow node, or none
  std::vector<NodeId> met;           ///< the components met outside the groups, in order
  std::uint32_t searches = 0;
  std::size_t budget = 0;  ///< step components and edges the searches may still visit
  NodeId nextNode = 0;     ///< the next grow node free for a step component
};

/// Shared state for the inner steps over `stepReach`, whose new grow nodes are numbered from
/// `firstNode` on.
InnerSteps startInnerSteps(const ReachIndex& stepReach, NodeId firstNode);

/// Links the groups of one wide subschema through its own graph of steps: the step edges between
/// its groups, and a grow node for each step component outside it that lies on a way from one of
/// its groups to another. Reach from group to group in these links is then exactly reach in the
/// steps, whatever the groups' order. False, with nothing linked, once the work left runs out.
bool linkInnerSteps(InnerSteps& inner, const ReachIndex& stepReach,
                    std::span<const GroupNode> groups,
                    std::vector<std::pair<NodeId, NodeId>>& links);

}  // namespace fdpreserve
