#include "analysis/digraph.h"

#include <algorithm>
#include <limits>

namespace fdpreserve {
namespace {

constexpr NodeId kUnvisited = std::numeric_limits<NodeId>::max();

/// Tarjan's algorithm with its own stack of frames: chains of millions of nodes are ordinary
/// input here, and would overflow the native stack.
std::vector<NodeId> findComponents(const Digraph& graph) {
  const std::size_t nodes = nodeCount(graph);
  std::vector<NodeId> componentOf(nodes, kUnvisited);
  std::vector<NodeId> order(nodes, kUnvisited);  // discovery number
  std::vector<NodeId> lowLink(nodes, 0);
  std::vector<NodeId> open;  // visited nodes whose component is not yet known
  std::vector<DepthFrame> frames;
  NodeId discovered = 0;
  NodeId components = 0;

  for (NodeId root = 0; root < nodes; ++root) {
    if (order[root] != kUnvisited) continue;
    frames.push_back({root, 0});
    order[root] = lowLink[root] = discovered++;
    open.push_back(root);
    while (!frames.empty()) {
      DepthFrame& frame = frames.back();
      const NodeId v = frame.node;
      const std::span<const NodeId> next = successors(graph, v);
      if (frame.nextEdge < next.size()) {
        const NodeId w = next[frame.nextEdge++];
        if (order[w] == kUnvisited) {
          order[w] = lowLink[w] = discovered++;
          open.push_back(w);
          frames.push_back({w, 0});
        } else if (componentOf[w] == kUnvisited) {
          lowLink[v] = std::min(lowLink[v], order[w]);
        }
        continue;
      }
      frames.pop_back();
      if (!frames.empty()) {
        const NodeId parent = frames.back().node;
        lowLink[parent] = std::min(lowLink[parent], lowLink[v]);
      }
      if (lowLink[v] == order[v]) {
        NodeId member = kUnvisited;
        do {
          member = open.back();
          open.pop_back();
          componentOf[member] = components;
        } while (member != v);
        ++components;
      }
    }
  }
  return componentOf;
}

}  // namespace

std::size_t nodeCount(const Digraph& graph) {
  return graph.firstEdge.size() - 1;
}

std::span<const NodeId> successors(const Digraph& graph, NodeId node) {
  return std::span<const NodeId>(graph.edgeTargets)
      .subspan(graph.firstEdge[node], graph.firstEdge[node + 1] - graph.firstEdge[node]);
}

void removeRepeatedEdges(Digraph& graph) {
  const std::size_t nodes = nodeCount(graph);
  std::vector<NodeId> lastSource(nodes, kUnvisited);
  std::size_t kept = 0;
  std::size_t begin = 0;
  for (NodeId v = 0; v < nodes; ++v) {
    const std::size_t end = graph.firstEdge[v + 1];
    for (std::size_t e = begin; e < end; ++e) {
      const NodeId w = graph.edgeTargets[e];
      if (lastSource[w] == v) continue;
      lastSource[w] = v;
      graph.edgeTargets[kept++] = w;
    }
    begin = end;
    graph.firstEdge[v + 1] = kept;
  }
  graph.edgeTargets.resize(kept);
  graph.edgeTargets.shrink_to_fit();
}

Condensation condense(const Digraph& graph) {
  Condensation result;
  result.componentOf = findComponents(graph);
  const std::size_t components =
      result.componentOf.empty()
          ? 0
          : *std::max_element(result.componentOf.begin(), result.componentOf.end()) +
                std::size_t{1};

  // Edges within a component go; repeats between two components are dropped once all are in.
  result.between = buildDigraph(components, [&](auto emit) {
    for (NodeId v = 0; v < result.componentOf.size(); ++v) {
      const NodeId c = result.componentOf[v];
      for (const NodeId w : successors(graph, v)) {
        if (result.componentOf[w] != c) emit(c, result.componentOf[w]);
      }
    }
  });
  removeRepeatedEdges(result.between);
  return result;
}

std::size_t targetWords(std::size_t targets) {
  return std::max<std::size_t>(1, (targets + 63) / 64);
}

std::vector<std::uint64_t> reachedTargets(const Digraph& graph, std::span<const NodeId> targets) {
  std::vector<std::uint64_t> reached;
  reachedTargets(graph, targets, reached);
  return reached;
}

void reachedTargets(const Digraph& graph, std::span<const NodeId> targets,
                    std::vector<std::uint64_t>& reached, NodeId through) {
  const std::size_t words = targetWords(targets.size());
  const std::size_t nodes = std::min<std::size_t>(nodeCount(graph), std::size_t{through} + 1);
  reached.assign(nodes * words, 0);
  NodeId lowest = static_cast<NodeId>(nodes);
  for (std::size_t b = 0; b < targets.size(); ++b) {
    if (targets[b] >= nodes) continue;  // above every row asked for
    reached[targets[b] * words + b / 64] |= std::uint64_t{1} << (b % 64);
    lowest = std::min(lowest, targets[b]);
  }
  // Every edge leads to a lower number, so each node's successors are complete before it; the
  // nodes below the lowest target reach none.
  if (words == 1) {
    // Long chains of single words are common: the bits stay in a register along each row.
    for (NodeId v = lowest; v < nodes; ++v) {
      std::uint64_t bits = reached[v];
      for (const NodeId w : successors(graph, v)) bits |= reached[w];
      reached[v] = bits;
    }
    return;
  }
  for (NodeId v = lowest; v < nodes; ++v) {
    std::uint64_t* const row = reached.data() + v * words;
    for (const NodeId w : successors(graph, v)) {
      const std::uint64_t* const from = reached.data() + std::size_t{w} * words;
      for (std::size_t k = 0; k < words; ++k) row[k] |= from[k];
    }
  }
}

}  // namespace fdpreserve
