#include "analysis/step_graph.h"

#include <bit>
#include <cstdint>
#include <vector>

#include "analysis/engine_limits.h"
#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

/// Whether a dependency with sides of these sizes links them through a node of its own.
bool needsOwnNode(std::size_t left, std::size_t right) {
  return left * right > 4 * (left + right);
}

/// The dependencies linked through nodes of their own, in order.
std::vector<std::size_t> dependenciesWithOwnNode() {
  std::vector<std::size_t> own;
  for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
    if (needsOwnNode(leftAttributes(d).size(), rightAttributes(d).size())) own.push_back(d);
  }
  return own;
}

/// Calls `emit` for the edges through the node of each dependency in `own`.
template <typename Emit>
void emitOwnNodeEdges(const std::vector<std::size_t>& own, Emit emit) {
  auto node = static_cast<NodeId>(attributeIds());
  for (const std::size_t d : own) {
    for (const AttributeId a : leftAttributes(d)) emit(a, node);
    for (const AttributeId r : rightAttributes(d)) emit(node, r);
    ++node;
  }
}

/// A bit for each step of the dependencies that link their sides directly. Large inputs repeat
/// the same few steps millions of times; the matrix takes each repeat in one instruction.
std::vector<std::uint64_t> stepMatrix(std::size_t words) {
  std::vector<std::uint64_t> matrix(attributeIds() * words, 0);
  for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
    const SlotRow left = leftAttributes(d);
    const SlotRow right = rightAttributes(d);
    if (needsOwnNode(left.size(), right.size())) continue;
    for (const AttributeId a : left) {
      std::uint64_t* const row = matrix.data() + std::size_t{a} * words;
      for (const AttributeId r : right) row[r / 64] |= std::uint64_t{1} << (r % 64);
    }
  }
  return matrix;
}

}  // namespace

Digraph stepGraph() {
  const std::vector<std::size_t> own = dependenciesWithOwnNode();
  const std::size_t nodes = attributeIds() + own.size();
  if (attributeIds() <= engineLimits.stepMatrixAttributes) {
    const std::size_t words = (attributeIds() + 63) / 64;
    const std::vector<std::uint64_t> matrix = stepMatrix(words);
    return buildDigraph(nodes, [&](auto emit) {
      for (std::size_t a = 0; a < attributeIds(); ++a) {
        for (std::size_t w = 0; w < words; ++w) {
          for (std::uint64_t bits = matrix[a * words + w]; bits != 0; bits &= bits - 1) {
            emit(static_cast<NodeId>(a),
                 static_cast<NodeId>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits))));
          }
        }
      }
      emitOwnNodeEdges(own, emit);
    });
  }
  Digraph graph = buildDigraph(nodes, [&](auto emit) {
    for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
      const SlotRow left = leftAttributes(d);
      const SlotRow right = rightAttributes(d);
      if (needsOwnNode(left.size(), right.size())) continue;
      for (const AttributeId a : left) {
        for (const AttributeId r : right) emit(a, r);
      }
    }
    emitOwnNodeEdges(own, emit);
  });
  removeRepeatedEdges(graph);
  return graph;
}

}  // namespace fdpreserve
