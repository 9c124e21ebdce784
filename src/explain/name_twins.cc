#include "explain/name_twins.h"

#include <bit>
#include <cstdint>
#include <string>

#include "analysis/tables_in_use.h"

namespace fdpreserve::explain {

std::vector<AttributeId> findTwins(NameEncoding encoding) {
  const std::size_t ids = attributeIds();
  std::vector<AttributeId> twinOf(ids, kFreeSlot);
  // An open-addressing table of the first name read under each key, by the key's hash: a key is
  // built only where two hashes meet, so millions of names cost a few bytes each.
  const std::size_t size = std::bit_ceil(2 * ids + 2);
  std::vector<std::uint64_t> hashes(size);
  std::vector<AttributeId> owners(size, kFreeSlot);
  for (AttributeId id = 1; id < ids; ++id) {
    const std::string_view name = nameOf(state.attributeNames, id);
    const std::uint64_t hash = twinKeyHash(name, encoding);
    std::size_t at = ((hash * 0x9E3779B97F4A7C15ULL) >> 32U) & (size - 1);
    for (; owners[at] != kFreeSlot; at = (at + 1) & (size - 1)) {
      if (hashes[at] == hash &&
          twinKey(nameOf(state.attributeNames, owners[at]), encoding) == twinKey(name, encoding)) {
        twinOf[id] = owners[at];  // ids count in reading order: the owner came first
        break;
      }
    }
    if (twinOf[id] != kFreeSlot) continue;
    hashes[at] = hash;
    owners[at] = id;
  }
  return twinOf;
}

}  // namespace fdpreserve::explain
