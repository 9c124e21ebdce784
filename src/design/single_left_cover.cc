#include "design/single_left_cover.h"

#include <algorithm>

#include "analysis/digraph.h"
#include "analysis/reach_index.h"
#include "design/minimal_cover.h"

namespace fdpreserve {
namespace {

/// The dependencies, their attributes' components and what reaches what between those.
struct PieceGraph {
  std::vector<NodeId> componentOf;
  ReachIndex reach;
  AttributeLists bySource;  ///< for each component, the dependencies leaving it, ascending
};

PieceGraph buildPieceGraph(const DependencySet& set) {
  const std::size_t count = dependenciesIn(set);
  Digraph graph = buildDigraph(set.attributes, [&](auto emit) {
    for (std::size_t i = 0; i < count; ++i) emit(leftOf(set, i)[0], set.rights[i]);
  });
  Condensation condensed = condense(graph);
  PieceGraph pieces;
  pieces.componentOf = std::move(condensed.componentOf);
  pieces.reach = buildReachIndex(std::move(condensed.between));
  buildAttributeLists(
      pieces.bySource, nodeCount(pieces.reach.between), count,
      [&](std::size_t i) {
        return std::span<const NodeId>(&pieces.componentOf[leftOf(set, i)[0]], 1);
      },
      nullptr);
  return pieces;
}

/// Keeps, of the dependencies leaving component `c` for another, the last one towards each
/// component no other way from `c` leads to; drops every other.
bool keepBetweenComponents(PieceGraph& pieces, const DependencySet& set, NodeId c,
                           std::vector<RowIndex>& neededMark, std::vector<RowIndex>& takenMark,
                           std::vector<std::uint8_t>& kept, WorkBudget& budget) {
  const auto next = successors(pieces.reach.between, c);
  const RowIndex run = c + 1;
  for (const NodeId d : next) {
    bool another = false;
    for (const NodeId e : next) {
      if (e == d) continue;
      const std::size_t walkedBefore = pieces.reach.walked;
      another = reaches(pieces.reach, e, d);
      if (!spend(budget, 1 + pieces.reach.walked - walkedBefore)) return false;
      if (another) break;
    }
    if (!another) neededMark[d] = run;
  }
  const auto leaving = listOf(pieces.bySource, c);
  for (auto i = leaving.rbegin(); i != leaving.rend(); ++i) {
    const NodeId d = pieces.componentOf[set.rights[*i]];
    if (d == c || neededMark[d] != run || takenMark[d] == run) continue;
    takenMark[d] = run;
    kept[*i] = 1;
  }
  return true;
}

/// Keeps, in order, each dependency within component `c` without which the others kept no
/// longer join its two attributes.
bool keepWithinComponent(const PieceGraph& pieces, const DependencySet& set, NodeId c,
                         std::vector<std::uint8_t>& kept, std::vector<RowIndex>& seenMark,
                         RowIndex& searches, WorkBudget& budget) {
  std::vector<RowIndex> within;
  for (const RowIndex i : listOf(pieces.bySource, c)) {
    if (pieces.componentOf[set.rights[i]] == c) within.push_back(i);
  }
  for (const RowIndex i : within) kept[i] = 1;
  std::vector<AttributeId> stack;
  for (const RowIndex tried : within) {
    kept[tried] = 0;
    const RowIndex search = nextMark(searches, {&seenMark});
    const AttributeId target = set.rights[tried];
    stack.assign(1, leftOf(set, tried)[0]);
    seenMark[stack[0]] = search;
    bool joined = false;
    while (!stack.empty() && !joined) {
      const AttributeId at = stack.back();
      stack.pop_back();
      if (!spend(budget, within.size())) return false;
      for (const RowIndex i : within) {
        if (kept[i] == 0 || leftOf(set, i)[0] != at || seenMark[set.rights[i]] == search) continue;
        seenMark[set.rights[i]] = search;
        joined = joined || set.rights[i] == target;
        stack.push_back(set.rights[i]);
      }
    }
    kept[tried] = joined ? 0 : 1;
  }
  return true;
}

}  // namespace

bool everyLeftSingle(const DependencySet& set) {
  for (std::size_t i = 0; i < dependenciesIn(set); ++i) {
    if (leftOf(set, i).size() != 1) return false;
  }
  return true;
}

bool minimizeSingleLeftCover(DependencySet& set, std::vector<RowIndex>& becomes, WorkBudget& budget,
                             ReachSource* reach) {
  if (!mergeRepeats(set, becomes, budget)) return false;
  const std::size_t count = dependenciesIn(set);
  if (!spend(budget, 4 * (count + set.attributes))) return false;
  PieceGraph pieces = buildPieceGraph(set);
  const std::size_t components = nodeCount(pieces.reach.between);
  std::vector<RowIndex> neededMark(components, 0);
  std::vector<RowIndex> takenMark(components, 0);
  std::vector<RowIndex> seenMark(set.attributes, 0);
  RowIndex searches = 0;
  std::vector<std::uint8_t> kept(count, 0);
  for (NodeId c = 0; c < components; ++c) {
    if (!keepBetweenComponents(pieces, set, c, neededMark, takenMark, kept, budget) ||
        !keepWithinComponent(pieces, set, c, kept, seenMark, searches, budget)) {
      return false;
    }
  }
  DependencySet minimal{.attributes = set.attributes, .leftEnds = {}, .lefts = {}, .rights = {}};
  std::vector<RowIndex> placeOf(count, kDropped);
  for (std::size_t i = 0; i < count; ++i) {
    if (kept[i] == 0) continue;
    placeOf[i] = static_cast<RowIndex>(dependenciesIn(minimal));
    addDependency(minimal, leftOf(set, i), set.rights[i]);
  }
  composePlaces(becomes, placeOf);
  set = std::move(minimal);
  if (reach != nullptr) {
    takeReachSource(*reach, std::move(pieces.componentOf), std::move(pieces.reach));
  }
  return true;
}

}  // namespace fdpreserve
