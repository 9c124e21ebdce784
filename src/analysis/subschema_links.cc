#include "analysis/subschema_links.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <limits>

#include "analysis/engine_limits.h"
#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

/// The attributes of one subschema that lie in one component of the reach steps: they reach each
/// other, and reach and are reached alike.
struct Group {
  NodeId component;
  std::size_t firstMember;  ///< in `Groups::members`
  std::size_t members;
};

/// The groups of one subschema, the highest component first: reach can lead only to later ones.
struct Block {
  std::size_t subschema;
  std::size_t firstGroup;
  std::size_t groups;
  bool wide;  ///< only each group's reach of the next is asked
};

/// Everything found of the subschemas before their links are drawn.
struct Groups {
  std::vector<AttributeId> members;
  std::vector<Group> groups;
  std::vector<Block> blocks;
  /// For each group of a narrow block, bit j when it reaches the j-th group of its block; for a
  /// wide one, bit 0 when it reaches the next.
  std::vector<std::uint64_t> reach;
  std::vector<ReachQuestion> questions;  ///< what the labels alone could not tell
  std::vector<std::pair<std::size_t, unsigned>> questionBits;  ///< group and bit each answers
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

/// Asks, or settles from the labels, whether group `from` reaches group `to`; the answer is bit
/// `bit` of group `from`.
void ask(Groups& found, ReachIndex& stepReach, std::size_t from, std::size_t to, unsigned bit) {
  const NodeId a = found.groups[from].component;
  const NodeId b = found.groups[to].component;
  const Reach quick = quickReach(stepReach, a, b);
  if (quick == Reach::kYes) found.reach[from] |= std::uint64_t{1} << bit;
  if (quick != Reach::kUnknown) return;
  found.questions.push_back({a, b});
  found.questionBits.emplace_back(from, bit);
}

/// Groups the attributes of subschema `i` that take part in reach, and asks what needs asking.
void groupSubschema(Groups& found, std::size_t i, const std::vector<NodeId>& stepComponent,
                    const std::vector<char>& active, ReachIndex& stepReach,
                    std::vector<std::uint32_t>& seenIn,
                    std::vector<std::pair<NodeId, AttributeId>>& byComponent) {
  byComponent.clear();
  for (const AttributeId x : subschemaAttributes(i)) {
    if (seenIn[x] == i || active[stepComponent[x]] == 0) continue;
    seenIn[x] = static_cast<std::uint32_t>(i);
    byComponent.emplace_back(stepComponent[x], x);
  }
  if (byComponent.size() < 2) return;
  std::sort(byComponent.begin(), byComponent.end(), std::greater<>());
  const Block block{i, found.groups.size(), 0, false};
  for (std::size_t m = 0; m < byComponent.size(); ++m) {
    if (m == 0 || byComponent[m].first != byComponent[m - 1].first) {
      found.groups.push_back({byComponent[m].first, found.members.size(), 0});
    }
    found.members.push_back(byComponent[m].second);
    ++found.groups.back().members;
  }
  found.blocks.push_back(block);
  Block& added = found.blocks.back();
  added.groups = found.groups.size() - block.firstGroup;
  added.wide = added.groups > std::min<std::size_t>(64, engineLimits.wordSubschema);
  found.reach.resize(found.groups.size(), 0);
  for (std::size_t j = 0; j + 1 < added.groups; ++j) {
    const std::size_t from = block.firstGroup + j;
    if (added.wide) {
      ask(found, stepReach, from, from + 1, 0);
      continue;
    }
    for (std::size_t k = j + 1; k < added.groups; ++k) {
      ask(found, stepReach, from, block.firstGroup + k, static_cast<unsigned>(k));
    }
  }
}

/// Links the members of each group in a ring, as they reach each other.
void linkWithinGroups(const Groups& found, SubschemaLinks& result) {
  for (const Group& group : found.groups) {
    if (group.members < 2) continue;
    for (std::size_t m = 0; m < group.members; ++m) {
      result.links.emplace_back(found.members[group.firstMember + m],
                                found.members[group.firstMember + (m + 1) % group.members]);
    }
  }
}

/// Links each group of a narrow block to the groups it reaches that no other group it reaches
/// reaches too; a wide block along its chain, where it is one.
void linkBlock(const Groups& found, const Block& block, SubschemaLinks& result) {
  const auto first = [&](std::size_t j) {
    return found.members[found.groups[block.firstGroup + j].firstMember];
  };
  bool chain = true;
  for (std::size_t j = 0; j + 1 < block.groups; ++j) {
    const std::uint64_t reached = found.reach[block.firstGroup + j];
    if (block.wide) {
      if (reached != 0) {
        result.links.emplace_back(first(j), first(j + 1));
      } else {
        chain = false;
      }
      continue;
    }
    std::uint64_t beyond = 0;
    for (std::uint64_t bits = reached; bits != 0; bits &= bits - 1) {
      beyond |= found.reach[block.firstGroup + static_cast<std::size_t>(std::countr_zero(bits))];
    }
    for (std::uint64_t bits = reached & ~beyond; bits != 0; bits &= bits - 1) {
      result.links.emplace_back(first(j), first(static_cast<std::size_t>(std::countr_zero(bits))));
    }
  }
  if (!chain) result.incomplete.push_back(block.subschema);
}

}  // namespace

SubschemaLinks linkSubschemas(const std::vector<NodeId>& stepComponent, ReachIndex& stepReach) {
  const std::vector<char> active = activeComponents(stepComponent, stepReach);
  Groups found;
  std::vector<std::uint32_t> seenIn(attributeIds(), kNone);
  std::vector<std::pair<NodeId, AttributeId>> byComponent;
  for (std::size_t i = 0; i < subschemasInUse(); ++i) {
    groupSubschema(found, i, stepComponent, active, stepReach, seenIn, byComponent);
  }
  const std::vector<std::uint64_t> answers = answerReachQuestions(stepReach, found.questions);
  for (std::size_t q = 0; q < found.questions.size(); ++q) {
    if (!bitAt(answers, q)) continue;
    const auto [group, bit] = found.questionBits[q];
    found.reach[group] |= std::uint64_t{1} << bit;
  }
  SubschemaLinks result;
  linkWithinGroups(found, result);
  for (const Block& block : found.blocks) linkBlock(found, block, result);
  return result;
}

}  // namespace fdpreserve
