#include "analysis/subschema_links.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <limits>
#include <span>

#include "analysis/engine_limits.h"
#include "analysis/inner_steps.h"
#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

/// A narrow subschema whose reach between groups the labels did not settle: its groups wait in
/// `Linking::waitingGroups` from `firstGroup` on, `groups` of them, for the searches.
struct Waiting {
  std::size_t firstGroup;
  std::size_t groups;
};

/// What the links are drawn with, one subschema after another. Only subschemas whose questions
/// the labels leave open are kept until the end: on large inputs nearly none are.
struct Linking {
  ReachIndex& stepReach;
  InnerSteps inner;
  SubschemaLinks result{};
  /// The groups of the subschema at hand, the highest component first: reach can lead only to
  /// later ones. A group is its attributes in one component of the reach steps: they reach each
  /// other, and reach and are reached alike.
  std::vector<GroupNode> groups{};
  std::vector<std::uint64_t> reach{};  ///< for each group at hand, bit k when it reaches group k
  std::vector<std::pair<std::size_t, std::size_t>> open{};  ///< pairs of groups left to ask
  std::vector<GroupNode> waitingGroups{};
  std::vector<std::uint64_t> waitingReach{};
  std::vector<Waiting> waiting{};
  std::vector<ReachQuestion> questions{};  ///< what the labels alone could not tell
  std::vector<std::pair<std::size_t, unsigned>> questionBits{};  ///< waiting group and bit
};

/// Whether an attribute in component `c` can take part in any reach but its own: its component
/// has a step in or out, or holds more than one node.
std::vector<char> activeComponents(const std::vector<NodeId>& stepComponent,
                                   const ReachIndex& stepReach) {
  const std::size_t components = nodeCount(stepReach.between);
  std::vector<char> active(components, 0);
  std::vector<std::uint32_t> nodes(components, 0);
  for (const NodeId c : stepComponent) {
    if (++nodes[c] > 1) active[c] = 1;
  }
  for (NodeId c = 0; c < components; ++c) {
    const std::span<const NodeId> next = successors(stepReach.between, c);
    if (next.empty()) continue;
    active[c] = 1;
    for (const NodeId d : next) active[d] = 1;
  }
  return active;
}

/// Links each group to the groups it reaches that no other group it reaches reaches too.
void linkNarrow(std::span<const GroupNode> groups, std::span<const std::uint64_t> reach,
                SubschemaLinks& result) {
  for (std::size_t j = 0; j + 1 < groups.size(); ++j) {
    std::uint64_t beyond = 0;
    for (std::uint64_t bits = reach[j]; bits != 0; bits &= bits - 1) {
      beyond |= reach[static_cast<std::size_t>(std::countr_zero(bits))];
    }
    for (std::uint64_t bits = reach[j] & ~beyond; bits != 0; bits &= bits - 1) {
      result.links.emplace_back(groups[j].node,
                                groups[static_cast<std::size_t>(std::countr_zero(bits))].node);
    }
  }
}

/// Works out the reach between the groups at hand as far as the labels tell, and links them when
/// that is all; otherwise keeps them, and what is left to ask, for the searches.
void linkOrWait(Linking& linking) {
  const std::size_t count = linking.groups.size();
  linking.reach.assign(count, 0);
  linking.open.clear();
  for (std::size_t j = 0; j + 1 < count; ++j) {
    for (std::size_t k = j + 1; k < count; ++k) {
      const Reach quick =
          quickReach(linking.stepReach, linking.groups[j].component, linking.groups[k].component);
      if (quick == Reach::kYes) linking.reach[j] |= std::uint64_t{1} << k;
      if (quick == Reach::kUnknown) linking.open.emplace_back(j, k);
    }
  }
  if (linking.open.empty()) {
    linkNarrow(linking.groups, linking.reach, linking.result);
    return;
  }
  const std::size_t first = linking.waitingGroups.size();
  linking.waiting.push_back({first, count});
  linking.waitingGroups.insert(linking.waitingGroups.end(), linking.groups.begin(),
                               linking.groups.end());
  linking.waitingReach.insert(linking.waitingReach.end(), linking.reach.begin(),
                              linking.reach.end());
  for (const auto& [j, k] : linking.open) {
    linking.questions.push_back({linking.groups[j].component, linking.groups[k].component});
    linking.questionBits.emplace_back(first + j, static_cast<unsigned>(k));
  }
}

/// Groups the attributes of subschema `i` that take part in reach, links the attributes of each
/// group in a ring, as they reach each other, and links the groups or leaves them waiting.
void linkSubschema(Linking& linking, std::size_t i, const std::vector<NodeId>& stepComponent,
                   const std::vector<char>& active, std::vector<std::uint32_t>& seenIn,
                   std::vector<std::pair<NodeId, AttributeId>>& byComponent) {
  byComponent.clear();
  for (const AttributeId x : subschemaAttributes(i)) {
    if (seenIn[x] == i || active[stepComponent[x]] == 0) continue;
    seenIn[x] = static_cast<std::uint32_t>(i);
    byComponent.emplace_back(stepComponent[x], x);
  }
  if (byComponent.size() < 2) return;
  std::sort(byComponent.begin(), byComponent.end(), std::greater<>());
  linking.groups.clear();
  std::vector<std::pair<NodeId, NodeId>>& links = linking.result.links;
  for (std::size_t m = 0, end = 0; m < byComponent.size(); m = end) {
    const NodeId component = byComponent[m].first;
    for (end = m + 1; end < byComponent.size() && byComponent[end].first == component; ++end) {
      links.emplace_back(byComponent[end - 1].second, byComponent[end].second);
    }
    // The ring closes where the group has more than one attribute.
    if (end - m > 1) links.emplace_back(byComponent[end - 1].second, byComponent[m].second);
    linking.groups.push_back({component, byComponent[m].second});
  }
  if (linking.groups.size() < 2) return;
  if (linking.groups.size() <= std::min<std::size_t>(64, engineLimits.wordSubschema)) {
    linkOrWait(linking);
  } else if (!linkInnerSteps(linking.inner, linking.stepReach, linking.groups,
                             linking.result.links)) {
    linking.result.incomplete.push_back(i);
  }
}

}  // namespace

SubschemaLinks linkSubschemas(const std::vector<NodeId>& stepComponent, ReachIndex& stepReach,
                              NodeId firstInnerNode) {
  Linking linking{.stepReach = stepReach, .inner = startInnerSteps(stepReach, firstInnerNode)};
  {
    const std::vector<char> active = activeComponents(stepComponent, stepReach);
    std::vector<std::uint32_t> seenIn(attributeIds(), kNone);
    std::vector<std::pair<NodeId, AttributeId>> byComponent;
    for (std::size_t i = 0; i < subschemasInUse(); ++i) {
      linkSubschema(linking, i, stepComponent, active, seenIn, byComponent);
    }
  }
  const std::vector<std::uint64_t> answers = answerReachQuestions(stepReach, linking.questions);
  for (std::size_t q = 0; q < linking.questions.size(); ++q) {
    if (!bitAt(answers, q)) continue;
    const auto [group, bit] = linking.questionBits[q];
    linking.waitingReach[group] |= std::uint64_t{1} << bit;
  }
  for (const Waiting& block : linking.waiting) {
    linkNarrow(std::span(linking.waitingGroups).subspan(block.firstGroup, block.groups),
               std::span(linking.waitingReach).subspan(block.firstGroup, block.groups),
               linking.result);
  }
  linking.result.innerNodes = linking.inner.nextNode - firstInnerNode;
  return std::move(linking.result);
}

}  // namespace fdpreserve
