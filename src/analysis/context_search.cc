#include "analysis/context_search.h"

#include <algorithm>

#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

void gatherMembers(ContextSearch& search) {
  search.ready = true;
  search.index = indexSubschemas();
  const std::size_t growComponents = nodeCount(search.growReach.between);
  search.growMembers = buildDigraph(growComponents, [&](auto emit) {
    for (AttributeId x = 1; x < attributeIds(); ++x) emit(search.growComponent[x], x);
  });
  search.wide.assign(subschemasInUse(), 0);
  search.wideNumber.assign(subschemasInUse(), 0);
  search.wideFirst.assign(1, 0);
  for (const std::size_t i : search.links.incomplete) {
    search.wide[i] = 1;
    search.wideNumber[i] = static_cast<std::uint32_t>(search.wideFirst.size() - 1);
    const std::size_t first = search.wideMembers.size();
    for (const AttributeId x : subschemaAttributes(i)) {
      search.wideMembers.emplace_back(search.stepComponent[x], x);
    }
    std::sort(search.wideMembers.begin() + static_cast<std::ptrdiff_t>(first),
              search.wideMembers.end());
    search.wideFirst.push_back(search.wideMembers.size());
  }
  search.seenIn.assign(growComponents, 0);
}

/// Marks a grow component as reached and queues it; true when it reaches the target's own.
bool visit(ContextSearch& search, NodeId component, NodeId target) {
  if (search.seenIn[component] == search.searches) return false;
  search.seenIn[component] = search.searches;
  if (quickReach(search.growReach, component, target) == Reach::kYes) return true;
  search.queue.push_back(component);
  return false;
}

/// Walks the reach steps from step component `from` within the k-th incomplete subschema, and
/// visits the grow component of each of its attributes met; prunes what cannot lead to `toward`.
bool walkWithin(ContextSearch& search, std::uint32_t k, NodeId from, NodeId toward, NodeId target) {
  const auto members =
      std::span(search.wideMembers)
          .subspan(search.wideFirst[k], search.wideFirst[k + 1] - search.wideFirst[k]);
  search.stack.assign(1, from);
  search.walked.insert((std::uint64_t{k} << 32U) | from);
  while (!search.stack.empty()) {
    const NodeId at = search.stack.back();
    search.stack.pop_back();
    auto found =
        std::lower_bound(members.begin(), members.end(), std::pair<NodeId, AttributeId>(at, 0));
    for (; found != members.end() && found->first == at; ++found) {
      if (visit(search, search.growComponent[found->second], target)) return true;
    }
    for (const NodeId next : successors(search.stepReach.between, at)) {
      if (quickReach(search.stepReach, next, toward) == Reach::kNo) continue;
      if (!search.walked.insert((std::uint64_t{k} << 32U) | next).second) continue;
      search.stack.push_back(next);
    }
  }
  return false;
}

}  // namespace

bool reachesThroughWideSubschemas(ContextSearch& search, std::size_t entry, AttributeId asked) {
  if (!search.ready) gatherMembers(search);
  if (++search.searches == 0) {
    std::fill(search.seenIn.begin(), search.seenIn.end(), 0);
    search.searches = 1;
  }
  search.walked.clear();
  search.queue.clear();
  const NodeId target = search.growComponent[asked];
  const NodeId toward = search.stepComponent[asked];
  for (const AttributeId x : leftAttributes(entry)) {
    if (isHeld(search.index, x) && visit(search, search.growComponent[x], target)) return true;
  }
  while (!search.queue.empty()) {
    const NodeId component = search.queue.back();
    search.queue.pop_back();
    for (const NodeId next : successors(search.growReach.between, component)) {
      if (visit(search, next, target)) return true;
    }
    for (const NodeId x : successors(search.growMembers, component)) {
      const NodeId step = search.stepComponent[x];
      if (quickReach(search.stepReach, step, toward) == Reach::kNo) continue;
      for (const NodeId i : subschemasHolding(search.index, x)) {
        if (search.wide[i] == 0) continue;
        const std::uint32_t k = search.wideNumber[i];
        if (search.walked.contains((std::uint64_t{k} << 32U) | step)) continue;
        if (walkWithin(search, k, step, toward, target)) return true;
      }
    }
  }
  return false;
}

}  // namespace fdpreserve
