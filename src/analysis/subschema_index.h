#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "analysis/digraph.h"
#include "model/name_pool.h"

namespace fdpreserve {

/// Which subschemas in use hold each attribute.
struct SubschemaIndex {
  /// For each attribute id, the subschemas that hold it, each once, ascending.
  Digraph holders;
  /// For each attribute id, a bit for each subschema that holds it, folded into one word.
  std::vector<std::uint64_t> signature;
  /// Whether a signature names its subschemas exactly: no two subschemas share a bit.
  bool exactSignatures = true;
};

/// Indexes the subschemas in use.
SubschemaIndex indexSubschemas();

/// Whether some subschema holds `x`.
inline bool isHeld(const SubschemaIndex& index, AttributeId x) {
  return index.signature[x] != 0;
}

/// The subschemas that hold `x`.
inline std::span<const NodeId> subschemasHolding(const SubschemaIndex& index, AttributeId x) {
  return successors(index.holders, x);
}

/// Whether some subschema holds both `x` and `y`.
bool shareSubschema(const SubschemaIndex& index, AttributeId x, AttributeId y);

}  // namespace fdpreserve
