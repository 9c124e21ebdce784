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
