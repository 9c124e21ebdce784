#pragma once

#include <cstddef>

#include "model/analysis_state.h"

namespace fdpreserve {

// The parts of the tables the analysis works on, as the counts say, in the analysis' own words.

/// Every attribute id in use, `kFreeSlot` included.
inline std::size_t attributeIds() {
  return nameCount(state.attributeNames);
}
/// The subschema rows in use.
inline std::size_t subschemasInUse() {
  return static_cast<std::size_t>(state.schemaCount);
}
/// The dependency entries in use.
inline std::size_t dependenciesInUse() {
  return static_cast<std::size_t>(state.dependencyCount);
}

/// The attributes of subschema `i`.
inline SlotRow subschemaAttributes(std::size_t i) {
  return subschemaAttributes(state.decomposition, i);
}
/// The attributes of the left side of dependency `d`.
inline SlotRow leftAttributes(std::size_t d) {
  return leftAttributes(state.dependencies, d);
}
/// The attributes of the right side of dependency `d`.
inline SlotRow rightAttributes(std::size_t d) {
  return rightAttributes(state.dependencies, d);
}

}  // namespace fdpreserve

namespace fdpreserve {

/// Calls `visit(d, left, right)` with the attributes of both sides of each dependency from `first`
/// up to `last`, in order, for as long as it returns true. Each row starts where the one before it
/// ends: one walk over the row ends finds them all, where finding each on its own costs more than
/// most dependencies need.
template <typename Visit>
void forEachDependencyIn(std::size_t first, std::size_t last, Visit visit) {
  const SlotTable& sides = state.dependencies.sides;
  if (!sides.wrapRows.empty() || sides.rowEnds.size() < 2 * last || sides.hasInnerFreeSlots) {
    for (std::size_t d = first; d < last; ++d) {
      if (!visit(d, leftAttributes(d), rightAttributes(d))) return;
    }
    return;
  }
  const AttributeId* const slots = sides.slots.data();
  const std::uint32_t* const ends = sides.rowEnds.data();
  std::uint32_t begin = first == 0 ? 0 : ends[2 * first - 1];
  for (std::size_t d = first; d < last; ++d) {
    const std::uint32_t leftEnd = ends[2 * d];
    const std::uint32_t rightEnd = ends[2 * d + 1];
    if (!visit(d, SlotRow(slots + begin, leftEnd - begin),
               SlotRow(slots + leftEnd, rightEnd - leftEnd))) {
      return;
    }
    begin = rightEnd;
  }
}

/// Calls `visit` as `forEachDependencyIn` does, over every dependency in use.
template <typename Visit>
void forEachDependency(Visit visit) {
  forEachDependencyIn(0, dependenciesInUse(), visit);
}

}  // namespace fdpreserve
