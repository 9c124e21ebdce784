#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fdpreserve {

/// The tables store each name once, as a small number: two slots hold the same bytes exactly when
/// they hold the same id.
using AttributeId = std::uint32_t;

/// The id of the empty name, which marks a free slot.
inline constexpr AttributeId kFreeSlot = 0;

/// Every distinct name of the input, numbered from 1 in order of first appearance. Millions of
/// fields are looked up while a large input is read, so the names share one block of bytes and
/// the lookup is an open-addressing table of ids.
struct NamePool {
  std::string bytes;                    ///< every name, one after the other
  std::vector<std::size_t> ends{0, 0};  ///< name id spans [ends[id], ends[id + 1]); id 0 is empty
  /// The table: the id in the low 32 bits and part of the name's hash above, so that a probe
  /// rarely compares bytes; 0 where no name is.
  std::vector<std::uint64_t> slots;
};

/// The id of `name`, adding it when new; the empty name is always `kFreeSlot`.
AttributeId internName(NamePool& pool, std::string_view name);

/// The id of `name`, or `kFreeSlot` when it is empty or was never added.
AttributeId findName(const NamePool& pool, std::string_view name);

/// The bytes of the name with the given id.
inline std::string_view nameOf(const NamePool& pool, AttributeId id) {
  return std::string_view(pool.bytes).substr(pool.ends[id], pool.ends[id + 1] - pool.ends[id]);
}

/// How many ids are in use, `kFreeSlot` included.
inline std::size_t nameCount(const NamePool& pool) {
  return pool.ends.size() - 1;
}

}  // namespace fdpreserve
