#include "explain/name_twins.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "analysis/tables_in_use.h"

namespace fdpreserve::explain {

std::vector<AttributeId> findTwins(NameEncoding encoding) {
  const std::size_t ids = attributeIds();
  std::vector<AttributeId> twinOf(ids, kFreeSlot);
  // The hash of each name's key, sorted: names meet only where hashes do, and a key is built a
  // second time only for those, so millions of names cost a few bytes each.
  std::vector<std::pair<std::uint64_t, AttributeId>> hashes;
  hashes.reserve(ids);
  for (AttributeId id = 1; id < ids; ++id) {
    const std::string key = twinKey(nameOf(state.attributeNames, id), encoding);
    hashes.emplace_back(std::hash<std::string>()(key), id);
  }
  std::sort(hashes.begin(), hashes.end());
  for (std::size_t first = 0; first < hashes.size();) {
    std::size_t end = first + 1;
    while (end < hashes.size() && hashes[end].first == hashes[first].first) ++end;
    for (std::size_t i = first; i < end; ++i) {
      const AttributeId id = hashes[i].second;
      if (twinOf[id] != kFreeSlot) continue;
      const std::string key = twinKey(nameOf(state.attributeNames, id), encoding);
      for (std::size_t j = i + 1; j < end; ++j) {
        const AttributeId other = hashes[j].second;
        if (twinOf[other] == kFreeSlot &&
            twinKey(nameOf(state.attributeNames, other), encoding) == key) {
          twinOf[other] = id;  // ids sorted within a hash: `id` is the first read
        }
      }
    }
    first = end;
  }
  return twinOf;
}

}  // namespace fdpreserve::explain
