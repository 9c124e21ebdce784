#include "analysis/subschema_index.h"

#include <algorithm>
#include <limits>

#include "analysis/engine_limits.h"
#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

/// The bit of subschema `i` in a signature: its own bit while every subschema has one, past that
/// a mixed one, so that subschemas far apart in the file seldom share a bit.
std::uint64_t signatureBit(std::size_t i, bool exact) {
  const std::uint64_t spread = exact ? i : (i * 0x9E3779B97F4A7C15ULL) >> 58U;
  return std::uint64_t{1} << (spread % std::clamp(engineLimits.signatureBits, 1U, 64U));
}

}  // namespace

SubschemaIndex indexSubschemas() {
  SubschemaIndex index;
  // Exact while every subschema has a bit of its own.
  index.exactSignatures =
      subschemasInUse() <= std::min<std::size_t>({64, engineLimits.exactSubschemaWord,
                                                  std::size_t{engineLimits.signatureBits}});
  index.signature.assign(attributeIds(), 0);
  std::vector<std::uint32_t> seenIn(attributeIds(), kNone);
  index.holders = buildDigraph(attributeIds(), [&](auto emit) {
    std::fill(seenIn.begin(), seenIn.end(), kNone);
    for (std::size_t i = 0; i < subschemasInUse(); ++i) {
      for (const AttributeId x : subschemaAttributes(i)) {
        if (seenIn[x] == i) continue;
        seenIn[x] = static_cast<std::uint32_t>(i);
        emit(x, static_cast<NodeId>(i));
      }
    }
  });
  for (AttributeId x = 0; x < attributeIds(); ++x) {
    for (const NodeId i : subschemasHolding(index, x)) {
      index.signature[x] |= signatureBit(i, index.exactSignatures);
    }
  }
  return index;
}

bool shareSubschema(const SubschemaIndex& index, AttributeId x, AttributeId y) {
  if ((index.signature[x] & index.signature[y]) == 0) return false;
  if (index.exactSignatures) return true;
  std::span<const NodeId> few = subschemasHolding(index, x);
  std::span<const NodeId> many = subschemasHolding(index, y);
  if (few.size() > many.size()) std::swap(few, many);
  // One list may be far longer than the other: look each of the short one up in the long one.
  if (few.size() * 8 < many.size()) {
    return std::any_of(few.begin(), few.end(),
                       [&](NodeId i) { return std::binary_search(many.begin(), many.end(), i); });
  }
  auto a = few.begin();
  auto b = many.begin();
  while (a != few.end() && b != many.end()) {
    if (*a == *b) return true;
    if (*a < *b) {
      ++a;
    } else {
      ++b;
    }
  }
  return false;
}

}  // namespace fdpreserve
