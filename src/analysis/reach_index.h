#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "analysis/digraph.h"

namespace fdpreserve {

/// What the labels alone tell of one question of reach.
enum class Reach : std::uint8_t { kYes, kNo, kUnknown };

/// Labels on the components of a condensed graph, whose edges all lead to lower numbers, that
/// settle most questions "does component u reach component v" at once, and a search pruned by
/// them for the rest. Memory is a few words a component.
struct ReachIndex {
  Digraph between;                          ///< successors sorted the highest first
  std::vector<std::uint32_t> treeFirst;     ///< preorder number in a depth-first forest
  std::vector<std::uint32_t> treeLast;      ///< the last preorder number of the subtree
  std::vector<std::uint32_t> finish;        ///< postorder number in the same forest
  std::vector<std::uint32_t> lowestFinish;  ///< the least postorder number of all it reaches
  std::vector<std::uint32_t> seenIn;        ///< the search that last visited each component
  std::uint32_t searches = 0;
  std::vector<NodeId> stack;
  std::size_t walked = 0;  ///< components and edges the searches have visited in all
};

/// Labels the components of `between`; takes it over.
ReachIndex buildReachIndex(Digraph between);

/// The size of the graph: components and edges.
std::size_t graphSize(const ReachIndex& index);

/// Whether `from` reaches `to`, as far as the labels tell: a tree path proves it, the order of
/// the components or the postorder intervals rule it out.
inline Reach quickReach(const ReachIndex& index, NodeId from, NodeId to) {
  if (from == to) return Reach::kYes;
  if (from < to) return Reach::kNo;  // every edge leads to a lower number
  if (index.treeFirst[from] <= index.treeFirst[to] && index.treeFirst[to] <= index.treeLast[from]) {
    return Reach::kYes;
  }
  if (index.finish[to] > index.finish[from] || index.lowestFinish[to] < index.lowestFinish[from]) {
    return Reach::kNo;
  }
  return Reach::kUnknown;
}

/// Whether `from` reaches `to`, searching where the labels do not tell. Only components that may
/// still reach `to` are visited.
bool searchReach(ReachIndex& index, NodeId from, NodeId to);

/// Whether `from` reaches `to`.
inline bool reaches(ReachIndex& index, NodeId from, NodeId to) {
  const Reach quick = quickReach(index, from, to);
  return quick == Reach::kUnknown ? searchReach(index, from, to) : quick == Reach::kYes;
}

}  // namespace fdpreserve

namespace fdpreserve {

/// One question of reach between two components.
struct ReachQuestion {
  NodeId from = 0;
  NodeId to = 0;
};

/// Answers every question: bit q of the result is set when `questions[q].from` reaches
/// `questions[q].to`. The labels settle most; searches take the rest while they have walked no
/// more than `engineLimits.searchWalks` times the graph, and sweeps of 64 targets the remainder,
/// so that the work stays within the size of the graph times the targets left over 64.
std::vector<std::uint64_t> answerReachQuestions(ReachIndex& index,
                                                std::span<const ReachQuestion> questions);

/// Whether bit `q` is set in `bits`.
inline bool bitAt(const std::vector<std::uint64_t>& bits, std::size_t q) {
  return ((bits[q / 64] >> (q % 64)) & 1U) != 0;
}

}  // namespace fdpreserve
