#pragma once

#include <cstdint>
#include <unordered_set>
#include <utility>
#include <vector>

#include "analysis/reach_index.h"
#include "analysis/subschema_index.h"
#include "analysis/subschema_links.h"

namespace fdpreserve {

/// The search that answers exactly what the links leave open when some subschema is wide and not
/// one chain: inside such a subschema, it walks the reach steps themselves, noting the
/// subschema's attributes it meets on the way.
struct ContextSearch {
  ContextSearch(const SubschemaLinks& subschemaLinks, const std::vector<NodeId>& stepComponents,
                ReachIndex& stepIndex, const std::vector<NodeId>& growComponents,
                ReachIndex& growIndex)
      : links(subschemaLinks),
        stepComponent(stepComponents),
        stepReach(stepIndex),
        growComponent(growComponents),
        growReach(growIndex) {}

  const SubschemaLinks& links;
  const std::vector<NodeId>& stepComponent;
  ReachIndex& stepReach;
  const std::vector<NodeId>& growComponent;
  ReachIndex& growReach;

  bool ready = false;      ///< the members below are gathered
  SubschemaIndex index;    ///< made again for the searches, which are rare
  Digraph growMembers;     ///< for each component of the grow graph, its attributes
  std::vector<char> wide;  ///< for each subschema: one of `links.incomplete`
  /// The attributes of each incomplete subschema with their step component, sorted by it:
  /// `wideMembers[wideFirst[k]]` up to `wideMembers[wideFirst[k + 1]]` for the k-th of them.
  std::vector<std::pair<NodeId, AttributeId>> wideMembers;
  std::vector<std::size_t> wideFirst;
  std::vector<std::uint32_t> wideNumber;  ///< for each subschema, k as above
  std::vector<std::uint32_t> seenIn;      ///< the search that last visited a grow component
  std::uint32_t searches = 0;
  std::unordered_set<std::uint64_t> walked;  ///< (k, step component) pairs of this search
  std::vector<NodeId> queue;
  std::vector<NodeId> stack;
};

/// Whether the held left attributes of dependency `entry` reach `asked` in the grow graph.
bool reachesThroughWideSubschemas(ContextSearch& search, std::size_t entry, AttributeId asked);

}  // namespace fdpreserve
