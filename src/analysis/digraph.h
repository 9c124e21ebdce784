#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace fdpreserve {

using NodeId = std::uint32_t;

/// A directed graph over the nodes 0 to nodeCount - 1, its edges kept in one block grouped by
/// their source.
struct Digraph {
  std::vector<std::size_t> firstEdge{
      0};  ///< edges of node v: edgeTargets[firstEdge[v], firstEdge[v + 1])
  std::vector<NodeId> edgeTargets;
};

/// The number of nodes of `graph`.
std::size_t nodeCount(const Digraph& graph);

/// The targets of the edges that leave `node`.
std::span<const NodeId> successors(const Digraph& graph, NodeId node);

/// Builds a graph of `nodes` nodes from a procedure that calls `emit(from, to)` once for each edge.
/// The procedure runs twice, once to count the edges and once to place them, so that no list of
/// pairs is ever held: edge lists can be far larger than the graph they describe.
template <typename ForEachEdge>
Digraph buildDigraph(std::size_t nodes, ForEachEdge forEachEdge) {
  Digraph graph;
  graph.firstEdge.assign(nodes + 1, 0);
  forEachEdge([&](NodeId from, NodeId) { ++graph.firstEdge[from + 1]; });
  for (std::size_t v = 0; v < nodes; ++v) graph.firstEdge[v + 1] += graph.firstEdge[v];
  graph.edgeTargets.resize(graph.firstEdge[nodes]);
  // Each node's first edge serves as its cursor while the edges are placed, and ends up as the
  // next node's first edge: no second array of the graph's length.
  forEachEdge([&](NodeId from, NodeId to) { graph.edgeTargets[graph.firstEdge[from]++] = to; });
  for (std::size_t v = nodes; v > 0; --v) graph.firstEdge[v] = graph.firstEdge[v - 1];
  graph.firstEdge[0] = 0;
  return graph;
}

/// Where a depth-first walk without recursion stands at one node: the next of its edges to take,
/// counted from its first. Half the size of a whole edge position: walks down chains of millions
/// keep a frame for every node.
struct DepthFrame {
  NodeId node;
  std::uint32_t nextEdge;
};

/// Drops every edge that repeats an earlier one from the same node, in place.
void removeRepeatedEdges(Digraph& graph);

/// The strongly connected components of a graph, and the graph between them.
struct Condensation {
  /// componentOf[v]: the component of node v. Components are numbered so that every edge leads
  /// to a component of the same or a lower number: sinks come first.
  std::vector<NodeId> componentOf;
  /// One edge for each pair of distinct components joined by an edge of the graph.
  Digraph between;
};

/// Finds the strongly connected components of `graph` without recursion.
Condensation condense(const Digraph& graph);

/// The words of one row of `reachedTargets` for `targets` targets: at least one.
std::size_t targetWords(std::size_t targets);

/// For each node of `graph`, whose edges all lead to lower numbers (as between components), a row
/// of `targetWords(targets.size())` words with a bit for each of `targets` that it reaches: bit
/// b % 64 of word b / 64 in the row of node v is set when v reaches targets[b], itself included.
/// Row v starts at v * words. One sweep over the graph.
std::vector<std::uint64_t> reachedTargets(const Digraph& graph, std::span<const NodeId> targets);

/// The same, into `reached`, whose memory is used again: chunk after chunk of targets then costs
/// no fresh memory. Only the rows of the nodes up to `through` are worked out, and only they are
/// there: a caller that asks only from those saves the sweep over the rest.
void reachedTargets(const Digraph& graph, std::span<const NodeId> targets,
                    std::vector<std::uint64_t>& reached, NodeId through = ~NodeId{0});

}  // namespace fdpreserve
