#include "analysis/step_graph.h"

#include <bit>

#include "analysis/engine_limits.h"
#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

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

Digraph graphOfMatrix(const StepMatrix& matrix) {
  const std::size_t words = matrix.words;
  return buildDigraph(attributeIds() + matrix.ownNode.size(), [&](auto emit) {
    for (std::size_t a = 0; a < attributeIds(); ++a) {
      for (std::size_t w = 0; w < words; ++w) {
        for (std::uint64_t bits = matrix.bits[a * words + w]; bits != 0; bits &= bits - 1) {
          emit(static_cast<NodeId>(a),
               static_cast<NodeId>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits))));
        }
      }
    }
    emitOwnNodeEdges(matrix.ownNode, emit);
  });
}

Digraph graphOfLists() {
  std::vector<std::size_t> own;
  forEachDependency([&](std::size_t d, SlotRow left, SlotRow right) {
    if (needsOwnNode(left.size(), right.size())) own.push_back(d);
    return true;
  });
  Digraph graph = buildDigraph(attributeIds() + own.size(), [&](auto emit) {
    forEachDependency([&](std::size_t, SlotRow left, SlotRow right) {
      if (needsOwnNode(left.size(), right.size())) return true;
      for (const AttributeId a : left) {
        for (const AttributeId r : right) emit(a, r);
      }
      return true;
    });
    emitOwnNodeEdges(own, emit);
  });
  // Large inputs repeat the same steps many times over.
  removeRepeatedEdges(graph);
  return graph;
}

}  // namespace

StepMatrix startStepMatrix() {
  StepMatrix matrix;
  if (attributeIds() > engineLimits.stepMatrixAttributes) return matrix;
  matrix.words = (attributeIds() + 63) / 64;
  matrix.bits.assign(attributeIds() * matrix.words, 0);
  return matrix;
}

Digraph stepGraph(const StepMatrix& matrix) {
  return matrix.words == 0 ? graphOfLists() : graphOfMatrix(matrix);
}

}  // namespace fdpreserve
