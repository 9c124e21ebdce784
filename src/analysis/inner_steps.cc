#include "analysis/inner_steps.h"

#include <algorithm>
#include <limits>

#include "analysis/engine_limits.h"

namespace fdpreserve {
namespace {

constexpr NodeId kNoNode = std::numeric_limits<NodeId>::max();

/// What the labels say of reaching any of the groups: a step component that fails this reaches
/// none of them. Whatever reaches a component comes before it in every order of the labels.
struct GroupBounds {
  NodeId lowest = kNoNode;
  std::uint32_t lowestFinish = std::numeric_limits<std::uint32_t>::max();
  std::uint32_t highestReachFinish = 0;
};

GroupBounds boundsOf(const ReachIndex& stepReach, std::span<const GroupNode> groups) {
  GroupBounds bounds;
  for (const GroupNode& group : groups) {
    const NodeId c = group.component;
    bounds.lowest = std::min(bounds.lowest, c);
    bounds.lowestFinish = std::min(bounds.lowestFinish, stepReach.finish[c]);
    bounds.highestReachFinish = std::max(bounds.highestReachFinish, stepReach.lowestFinish[c]);
  }
  return bounds;
}

bool mayReachGroups(const ReachIndex& stepReach, const GroupBounds& bounds, NodeId c) {
  return c >= bounds.lowest && stepReach.finish[c] >= bounds.lowestFinish &&
         stepReach.lowestFinish[c] <= bounds.highestReachFinish;
}

/// Meets every step component reached from the groups without passing through one, that the
/// labels do not rule out; false when the work left runs out first.
bool meetFromGroups(InnerSteps& inner, const ReachIndex& stepReach,
                    std::span<const GroupNode> groups, std::uint32_t search) {
  const GroupBounds bounds = boundsOf(stepReach, groups);
  const auto meetAfter = [&](NodeId from) {
    const std::span<const NodeId> next = successors(stepReach.between, from);
    if (inner.budget < 1 + next.size()) return false;
    inner.budget -= 1 + next.size();
    for (const NodeId c : next) {
      if (inner.metBy[c] == search) continue;
      inner.metBy[c] = search;
      inner.nodeOf[c] = kNoNode;
      if (mayReachGroups(stepReach, bounds, c)) inner.met.push_back(c);
    }
    return true;
  };
  for (const GroupNode& group : groups) {
    if (!meetAfter(group.component)) return false;
  }
  for (std::size_t m = 0; m < inner.met.size(); ++m) {
    if (!meetAfter(inner.met[m])) return false;
  }
  return true;
}

/// Whether step component `c`, met in search `search`, is a group or leads to one.
bool leadsOn(const InnerSteps& inner, std::uint32_t search, NodeId c) {
  return inner.metBy[c] == search && inner.nodeOf[c] != kNoNode;
}

}  // namespace

InnerSteps startInnerSteps(const ReachIndex& stepReach, NodeId firstNode) {
  InnerSteps inner;
  const std::size_t components = nodeCount(stepReach.between);
  inner.metBy.assign(components, 0);
  inner.nodeOf.assign(components, kNoNode);
  inner.budget = engineLimits.innerStepWalks * graphSize(stepReach);
  inner.nextNode = firstNode;
  return inner;
}

bool linkInnerSteps(InnerSteps& inner, const ReachIndex& stepReach,
                    std::span<const GroupNode> groups,
                    std::vector<std::pair<NodeId, NodeId>>& links) {
  const std::uint32_t search = ++inner.searches;
  for (const GroupNode& group : groups) {
    inner.metBy[group.component] = search;
    inner.nodeOf[group.component] = group.node;
  }
  inner.met.clear();
  // Both later passes walk what the search met once more.
  const std::size_t before = inner.budget;
  if (!meetFromGroups(inner, stepReach, groups, search) || inner.budget < before - inner.budget) {
    return false;
  }
  // Every step leads to a lower number: in rising order, what a component leads to is decided
  // before it is.
  std::sort(inner.met.begin(), inner.met.end());
  for (const NodeId c : inner.met) {
    const std::span<const NodeId> next = successors(stepReach.between, c);
    if (std::any_of(next.begin(), next.end(),
                    [&](NodeId d) { return leadsOn(inner, search, d); })) {
      inner.nodeOf[c] = inner.nextNode++;
    }
  }
  inner.budget -= before - inner.budget;
  const auto linkOnward = [&](NodeId c) {
    for (const NodeId d : successors(stepReach.between, c)) {
      if (leadsOn(inner, search, d)) links.emplace_back(inner.nodeOf[c], inner.nodeOf[d]);
    }
  };
  for (const GroupNode& group : groups) linkOnward(group.component);
  for (const NodeId c : inner.met) {
    if (inner.nodeOf[c] != kNoNode) linkOnward(c);
  }
  return true;
}

}  // namespace fdpreserve
