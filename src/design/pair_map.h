#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace fdpreserve {

/// A map from nonzero 64-bit keys to 32-bit values, by open addressing: the chase keeps millions
/// of cells in it, where a node-based map would take several times the memory and time.
struct PairMap {
  std::vector<std::uint64_t> keys;  ///< 0 where no key is
  std::vector<std::uint32_t> values;
  std::size_t used = 0;
  unsigned shift = 64;  ///< 64 less the bits of an index
};

/// The value of `key`, or null when it is absent.
const std::uint32_t* findValue(const PairMap& map, std::uint64_t key);

/// Stores `value` for `key` unless the key is there already; gives the value now stored and
/// whether it was inserted.
std::pair<std::uint32_t, bool> insertValue(PairMap& map, std::uint64_t key, std::uint32_t value);

/// A key from two 32-bit halves, never 0 while `high` is below 2^32 - 1.
inline std::uint64_t pairKey(std::uint32_t high, std::uint32_t low) {
  return (std::uint64_t{high} + 1) << 32U | low;
}

}  // namespace fdpreserve
