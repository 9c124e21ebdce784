#include "analysis/reach_index.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "analysis/engine_limits.h"

namespace fdpreserve {
namespace {

constexpr std::uint32_t kUnlabelled = std::numeric_limits<std::uint32_t>::max();

/// Orders each component's successors the highest first: the nearest in topological order. The
/// forest then follows chains along their length, and its subtrees prove most reach at once.
void sortSuccessorsNearestFirst(Digraph& graph) {
  for (std::size_t c = 0; c + 1 < graph.firstEdge.size(); ++c) {
    const auto begin = graph.edgeTargets.begin() + static_cast<std::ptrdiff_t>(graph.firstEdge[c]);
    const auto end =
        graph.edgeTargets.begin() + static_cast<std::ptrdiff_t>(graph.firstEdge[c + 1]);
    std::sort(begin, end, std::greater<>());
  }
}

/// Numbers the components in a depth-first forest, without recursion: chains of millions are
/// ordinary input. Roots are taken the highest first, so that sources start the trees.
void labelForest(ReachIndex& index) {
  const std::size_t components = nodeCount(index.between);
  index.treeFirst.assign(components, kUnlabelled);
  index.treeLast.assign(components, 0);
  index.finish.assign(components, 0);
  std::vector<DepthFrame> frames;
  std::uint32_t preorder = 0;
  std::uint32_t postorder = 0;
  for (std::size_t root = components; root-- > 0;) {
    if (index.treeFirst[root] != kUnlabelled) continue;
    index.treeFirst[root] = preorder++;
    frames.push_back({static_cast<NodeId>(root), 0});
    while (!frames.empty()) {
      DepthFrame& frame = frames.back();
      const std::span<const NodeId> out = successors(index.between, frame.node);
      if (frame.nextEdge < out.size()) {
        const NodeId next = out[frame.nextEdge++];
        if (index.treeFirst[next] != kUnlabelled) continue;
        index.treeFirst[next] = preorder++;
        frames.push_back({next, 0});
        continue;
      }
      index.treeLast[frame.node] = preorder - 1;
      index.finish[frame.node] = postorder++;
      frames.pop_back();
    }
  }
  // Every edge leads to a lower number, so each component's successors are labelled before it.
  index.lowestFinish = index.finish;
  for (NodeId c = 0; c < components; ++c) {
    for (const NodeId next : successors(index.between, c)) {
      index.lowestFinish[c] = std::min(index.lowestFinish[c], index.lowestFinish[next]);
    }
  }
}

}  // namespace

ReachIndex buildReachIndex(Digraph between) {
  ReachIndex index;
  index.between = std::move(between);
  sortSuccessorsNearestFirst(index.between);
  labelForest(index);
  index.seenIn.assign(nodeCount(index.between), 0);
  return index;
}

std::size_t graphSize(const ReachIndex& index) {
  return nodeCount(index.between) + index.between.edgeTargets.size();
}

bool searchReach(ReachIndex& index, NodeId from, NodeId to) {
  if (from == to) return true;
  if (++index.searches == 0) {  // the stamps wrapped: start them over
    std::fill(index.seenIn.begin(), index.seenIn.end(), 0);
    index.searches = 1;
  }
  const std::uint32_t search = index.searches;
  index.stack.assign(1, from);
  index.seenIn[from] = search;
  while (!index.stack.empty()) {
    const NodeId at = index.stack.back();
    index.stack.pop_back();
    const std::span<const NodeId> next = successors(index.between, at);
    index.walked += 1 + next.size();
    for (const NodeId c : next) {
      if (index.seenIn[c] == search) continue;
      index.seenIn[c] = search;
      const Reach quick = quickReach(index, c, to);
      if (quick == Reach::kYes) return true;
      if (quick == Reach::kUnknown) index.stack.push_back(c);
    }
  }
  return false;
}

}  // namespace fdpreserve

namespace fdpreserve {

std::vector<std::uint64_t> answerReachQuestions(ReachIndex& index,
                                                std::span<const ReachQuestion> questions) {
  std::vector<std::uint64_t> answers((questions.size() + 63) / 64, 0);
  const auto answerYes = [&](std::size_t q) { answers[q / 64] |= std::uint64_t{1} << (q % 64); };
  std::vector<std::size_t> left;
  for (std::size_t q = 0; q < questions.size(); ++q) {
    const Reach quick = quickReach(index, questions[q].from, questions[q].to);
    if (quick == Reach::kYes) answerYes(q);
    if (quick == Reach::kUnknown) left.push_back(q);
  }
  const std::size_t budget = index.walked + engineLimits.searchWalks * graphSize(index);
  std::size_t searched = 0;
  for (; searched < left.size() && index.walked < budget; ++searched) {
    const ReachQuestion& question = questions[left[searched]];
    if (searchReach(index, question.from, question.to)) answerYes(left[searched]);
  }
  if (searched == left.size()) return answers;
  // The rest by sweeps: the questions grouped by their target, 64 targets a sweep.
  std::vector<std::size_t> rest(left.begin() + static_cast<std::ptrdiff_t>(searched), left.end());
  std::sort(rest.begin(), rest.end(),
            [&](std::size_t a, std::size_t b) { return questions[a].to < questions[b].to; });
  std::vector<NodeId> targets;
  std::vector<std::uint64_t> reached;
  for (std::size_t first = 0; first < rest.size();) {
    targets.clear();
    NodeId highestFrom = 0;
    std::size_t last = first;
    for (; last < rest.size(); ++last) {
      const NodeId to = questions[rest[last]].to;
      if (targets.empty() || targets.back() != to) {
        if (targets.size() == 64) break;
        targets.push_back(to);
      }
      highestFrom = std::max(highestFrom, questions[rest[last]].from);
    }
    // Every edge leads to a lower number: nothing above the highest source matters.
    reachedTargets(index.between, targets, reached, highestFrom);
    std::size_t bit = 0;
    for (std::size_t r = first; r < last; ++r) {
      const ReachQuestion& question = questions[rest[r]];
      while (targets[bit] != question.to) ++bit;
      if (((reached[question.from] >> bit) & 1U) != 0) answerYes(rest[r]);
    }
    first = last;
  }
  return answers;
}

}  // namespace fdpreserve
