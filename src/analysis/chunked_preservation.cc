#include "analysis/chunked_preservation.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <utility>
#include <vector>

#include "analysis/digraph.h"
#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

constexpr std::size_t kChunk = 64;  // targets answered together, one bit each
constexpr std::size_t kChunkWords = std::size_t{1} << 20;  // 8 MiB of rows for wider chunks
constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

/// A dependency with many attributes on both sides links them through a node of its own, so that
/// no edge list grows with the product of the two sides. Small ones link directly: their edges
/// repeat across dependencies and vanish when repeats are dropped.
bool needsOwnNode(std::size_t left, std::size_t right) {
  return left * right > 4 * (left + right);
}

/// One step of reach: a to r when a dependency in use has a on its left side and r on its right.
/// Nodes are attribute ids, then one node for each dependency that needs its own.
Digraph reachStepGraph() {
  std::size_t ownNodes = 0;
  for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
    if (needsOwnNode(leftAttributes(d).size(), rightAttributes(d).size())) ++ownNodes;
  }
  Digraph graph = buildDigraph(attributeIds() + ownNodes, [&](auto emit) {
    auto ownNode = static_cast<NodeId>(attributeIds());
    for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
      const SlotRow left = leftAttributes(d);
      const SlotRow right = rightAttributes(d);
      if (needsOwnNode(left.size(), right.size())) {
        for (const AttributeId a : left) emit(a, ownNode);
        for (const AttributeId r : right) emit(ownNode, r);
        ++ownNode;
        continue;
      }
      for (const AttributeId a : left) {
        for (const AttributeId r : right) emit(a, r);
      }
    }
  });
  // Large inputs repeat the same few steps many times over.
  removeRepeatedEdges(graph);
  return graph;
}

/// For each attribute, the subschemas in use that hold it, each once.
Digraph subschemasHolding() {
  std::vector<std::uint32_t> seenIn(attributeIds(), kNone);
  return buildDigraph(attributeIds(), [&](auto emit) {
    std::fill(seenIn.begin(), seenIn.end(), kNone);
    for (std::size_t i = 0; i < subschemasInUse(); ++i) {
      for (const AttributeId x : subschemaAttributes(i)) {
        if (seenIn[x] == i) continue;
        seenIn[x] = static_cast<std::uint32_t>(i);
        emit(x, static_cast<NodeId>(i));
      }
    }
  });
}

/// The graph in which the passes over the subschemas grow their attributes: x to y when a
/// subschema holds both and y is in the reach of x. Reach may leave the subschema on its way.
Digraph subschemaStepGraph(const Digraph& holders) {
  const Condensation reach = condense(reachStepGraph());
  std::vector<NodeId> targets;
  for (NodeId y = 0; y < attributeIds(); ++y) {
    if (!successors(holders, y).empty()) targets.push_back(y);
  }
  // As many targets at a time as a bounded block of rows holds: each chunk walks every component.
  const std::size_t words =
      std::max<std::size_t>(1, kChunkWords / std::max<std::size_t>(1, nodeCount(reach.between)));
  const std::size_t width = std::min(words * 64, targetWords(targets.size()) * 64);
  std::vector<std::pair<NodeId, NodeId>> steps;
  std::vector<std::uint64_t> reached;
  for (std::size_t first = 0; first < targets.size(); first += width) {
    const auto chunk =
        std::span<const NodeId>(targets).subspan(first, std::min(width, targets.size() - first));
    reachedTargets(reach, chunk, reached);
    const std::size_t rowWords = targetWords(chunk.size());
    for (std::size_t b = 0; b < chunk.size(); ++b) {
      const NodeId y = chunk[b];
      for (const NodeId i : successors(holders, y)) {
        for (const AttributeId x : subschemaAttributes(i)) {
          const std::uint64_t word = reached[reach.componentOf[x] * rowWords + b / 64];
          if (x != y && ((word >> (b % 64)) & 1U) != 0) steps.emplace_back(x, y);
        }
      }
    }
  }
  Digraph graph = buildDigraph(attributeIds(), [&](auto emit) {
    for (const auto& [x, y] : steps) emit(x, y);
  });
  removeRepeatedEdges(graph);
  return graph;
}

/// The right-side attributes that need the graph: not on their own left side. An attribute that
/// no subschema holds can then never be reached, and decides the answer at once.
struct Questions {
  std::vector<NodeId> targets;         ///< each asked-for attribute once
  std::vector<std::uint32_t> indexOf;  ///< its place in `targets`, or kNone
  bool hopeless = false;               ///< some dependency can never be preserved
};

Questions questionsFor(const Digraph& holders) {
  Questions questions;
  questions.indexOf.assign(attributeIds(), kNone);
  std::vector<std::uint32_t> onLeftOf(attributeIds(), kNone);
  for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
    for (const AttributeId a : leftAttributes(d)) onLeftOf[a] = static_cast<std::uint32_t>(d);
    for (const AttributeId y : rightAttributes(d)) {
      if (onLeftOf[y] == d || questions.indexOf[y] != kNone) continue;
      if (successors(holders, y).empty()) {
        questions.hopeless = true;
        return questions;
      }
      questions.indexOf[y] = static_cast<std::uint32_t>(questions.targets.size());
      questions.targets.push_back(y);
    }
  }
  return questions;
}

}  // namespace

bool allDependenciesPreservedInChunks() {
  const Digraph holders = subschemasHolding();
  const Questions questions = questionsFor(holders);
  if (questions.hopeless) return false;
  if (questions.targets.empty()) return true;

  const Condensation grow = condense(subschemaStepGraph(holders));
  const std::size_t chunks = (questions.targets.size() + kChunk - 1) / kChunk;
  // For each chunk of targets, the dependencies that ask for one of them, each once.
  std::vector<std::uint32_t> lastAsker(chunks, kNone);
  const Digraph askers = buildDigraph(chunks, [&](auto emit) {
    std::fill(lastAsker.begin(), lastAsker.end(), kNone);
    for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
      for (const AttributeId y : rightAttributes(d)) {
        if (questions.indexOf[y] == kNone) continue;
        const std::size_t chunk = questions.indexOf[y] / kChunk;
        if (lastAsker[chunk] == d) continue;
        lastAsker[chunk] = static_cast<std::uint32_t>(d);
        emit(static_cast<NodeId>(chunk), static_cast<NodeId>(d));
      }
    }
  });

  std::vector<std::uint64_t> reached;
  for (std::size_t chunk = 0; chunk < chunks; ++chunk) {
    const std::size_t first = chunk * kChunk;
    reachedTargets(grow,
                   std::span<const NodeId>(questions.targets)
                       .subspan(first, std::min(kChunk, questions.targets.size() - first)),
                   reached);
    for (const NodeId d : successors(askers, static_cast<NodeId>(chunk))) {
      std::uint64_t fromLeft = 0;
      for (const AttributeId a : leftAttributes(d)) fromLeft |= reached[grow.componentOf[a]];
      for (const AttributeId y : rightAttributes(d)) {
        const std::uint32_t index = questions.indexOf[y];
        // A target of another chunk is answered there; one on its own left side needs no answer.
        if (index == kNone || index / kChunk != chunk) continue;
        if (((fromLeft >> (index % kChunk)) & 1U) == 0) return false;
      }
    }
  }
  return true;
}

}  // namespace fdpreserve
