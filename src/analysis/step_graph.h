#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "analysis/digraph.h"
#include "model/slot_table.h"

namespace fdpreserve {

/// The reach steps of dependencies gathered as they are met: a bit for each step while the
/// attribute ids are few enough for a matrix, and the dependencies linked through nodes of their
/// own. Large inputs repeat the same few steps millions of times; the matrix takes each repeat in
/// one instruction.
struct StepMatrix {
  std::size_t words = 0;  ///< words in one row; 0 when the ids are too many for a matrix
  std::vector<std::uint64_t> bits;
  std::vector<std::size_t> ownNode;  ///< the dependencies linked through a node of their own
};

/// An empty matrix for the attribute ids in use, or none when they are too many.
StepMatrix startStepMatrix();

/// Whether a dependency with sides of these sizes links them through a node of its own, so that
/// no edge list grows with the product of two sides.
inline bool needsOwnNode(std::size_t left, std::size_t right) {
  return left * right > 4 * (left + right);
}

/// Gathers the steps of dependency `d`, whose sides have these attributes.
inline void gatherSteps(StepMatrix& matrix, std::size_t d, SlotRow left, SlotRow right) {
  if (matrix.words == 0) return;
  if (needsOwnNode(left.size(), right.size())) {
    matrix.ownNode.push_back(d);
    return;
  }
  for (const AttributeId a : left) {
    std::uint64_t* const row = matrix.bits.data() + std::size_t{a} * matrix.words;
    for (const AttributeId r : right) row[r / 64] |= std::uint64_t{1} << (r % 64);
  }
}

/// Up to this many attributes a side, a dependency is a short one.
inline constexpr std::size_t kShortSide = 3;

/// The attributes of a side of 1 to `kShortSide` attributes in lanes, the last one repeated in
/// the lanes past it.
using ShortSide = std::array<AttributeId, kShortSide>;

/// The lanes of a side of 1 to `kShortSide` attributes, without a branch.
inline ShortSide shortSideOf(SlotRow side) {
  // The last index is 0, 1 or 2: (last + 1) / 2 is 0, 1 or 1, and no size needs a branch.
  const std::size_t last = side.size() - 1;
  return {side[0], side[(last + 1) / 2], side[last]};
}

/// Gathers the steps of a dependency with short sides. On a large input nearly all of them are
/// there already: nine loads tell so, where nine stores would wait on each other.
inline void gatherShortSteps(StepMatrix& matrix, const ShortSide& left, const ShortSide& right) {
  if (matrix.words == 0) return;
  std::uint64_t* const bits = matrix.bits.data();
  std::uint64_t missing = 0;
  for (const AttributeId a : left) {
    const std::uint64_t* const row = bits + std::size_t{a} * matrix.words;
    for (const AttributeId r : right) missing |= ~row[r / 64] & (std::uint64_t{1} << (r % 64));
  }
  if (missing == 0) return;
  for (const AttributeId a : left) {
    std::uint64_t* const row = bits + std::size_t{a} * matrix.words;
    for (const AttributeId r : right) row[r / 64] |= std::uint64_t{1} << (r % 64);
  }
}

/// The graph of reach steps: an edge from a to r when a dependency in use holds a on its left
/// side and r on its right. Nodes are the attribute ids, then one node for each dependency linked
/// through a node of its own. Each edge is kept once. Takes its steps from `matrix` when it has a
/// matrix and every dependency was gathered into it, from the tables otherwise.
Digraph stepGraph(const StepMatrix& matrix);

}  // namespace fdpreserve
