#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "analysis/dependency_answers.h"
#include "analysis/step_graph.h"
#include "analysis/subschema_index.h"

namespace fdpreserve {

/// A right attribute of a dependency that the dependency's own step does not settle.
struct Question {
  std::size_t entry = 0;  ///< the dependency entry
  AttributeId asked = 0;  ///< the right attribute
  /// Where the search for an open item starts in the grow graph: the one held left attribute of
  /// its dependency, or a node of the dependency's own, past the attribute ids, that leads to
  /// each of them.
  NodeId source = 0;
  bool lacking = false;  ///< never reached: no subschema holds it, or none holds a left one
};

/// What the first pass over the dependencies leaves to be answered.
struct Questions {
  std::vector<Question> items;  ///< by entry, then in the order of the right side; each once
  bool anyOpen = false;         ///< some item is not lacking, and needs the grow graph
  bool anyLacking = false;
  /// The edges from the nodes of their own to the held left attributes, and how many nodes.
  std::vector<std::pair<NodeId, NodeId>> sourceEdges;
  std::size_t ownSources = 0;
};

/// One pass over the dependencies in use. A right attribute is settled at once when it stands on
/// its own left side, or when a subschema holds it beside a left attribute: the dependency's own
/// step then joins the two within that subschema. One that no subschema holds, or whose left side
/// no subschema touches, is lacking. The rest are open. With `AnswerScope::kVerdict` the pass
/// stops at the first lacking attribute. Gathers the reach steps of the dependencies it passes into
/// `steps` on the way.
Questions settleDependencies(const SubschemaIndex& index, AnswerScope scope, StepMatrix& steps);

}  // namespace fdpreserve
