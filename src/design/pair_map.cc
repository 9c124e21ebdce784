#include "design/pair_map.h"

namespace fdpreserve {
namespace {

std::size_t slotOf(const PairMap& map, std::uint64_t key) {
  return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> map.shift);
}

void grow(PairMap& map) {
  std::vector<std::uint64_t> keys = std::move(map.keys);
  std::vector<std::uint32_t> values = std::move(map.values);
  const std::size_t size = keys.empty() ? 16 : 2 * keys.size();
  map.keys.assign(size, 0);
  map.values.assign(size, 0);
  map.shift = 64;
  for (std::size_t s = size; s > 1; s /= 2) --map.shift;
  const std::size_t mask = size - 1;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] == 0) continue;
    std::size_t at = slotOf(map, keys[i]);
    while (map.keys[at] != 0) at = (at + 1) & mask;
    map.keys[at] = keys[i];
    map.values[at] = values[i];
  }
}

}  // namespace

const std::uint32_t* findValue(const PairMap& map, std::uint64_t key) {
  if (map.keys.empty()) return nullptr;
  const std::size_t mask = map.keys.size() - 1;
  for (std::size_t at = slotOf(map, key);; at = (at + 1) & mask) {
    if (map.keys[at] == key) return &map.values[at];
    if (map.keys[at] == 0) return nullptr;
  }
}

std::pair<std::uint32_t, bool> insertValue(PairMap& map, std::uint64_t key, std::uint32_t value) {
  // At most half full, so that a probe ends soon.
  if (2 * (map.used + 1) > map.keys.size()) grow(map);
  const std::size_t mask = map.keys.size() - 1;
  for (std::size_t at = slotOf(map, key);; at = (at + 1) & mask) {
    if (map.keys[at] == key) return {map.values[at], false};
    if (map.keys[at] != 0) continue;
    map.keys[at] = key;
    map.values[at] = value;
    ++map.used;
    return {value, true};
  }
}

}  // namespace fdpreserve
