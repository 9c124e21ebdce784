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

/// Names up to this long are looked up as one word: their bytes and their length packed together.
inline constexpr std::size_t kShortNameBytes = 7;

/// Every distinct name of the input, numbered from 1 in order of first appearance. Millions of
/// fields are looked up while a large input is read, so the names share one block of bytes, and
/// the lookup is an open-addressing table of ids: short names, the common case, compare as one
/// word; longer ones by a hash and their bytes.
struct NamePool {
  std::string bytes;                    ///< every name, one after the other
  std::vector<std::size_t> ends{0, 0};  ///< name id spans [ends[id], ends[id + 1]); id 0 is empty
  /// The table of long names: the id in the low 32 bits and part of the name's hash above, so
  /// that a probe rarely compares bytes; 0 where no name is.
  std::vector<std::uint64_t> slots;
  /// The table of short names, a power of two long: their keys, 0 where no name is, apart from
  /// their ids, so that the keys a probe reads stay in the nearest cache.
  std::vector<std::uint64_t> shortKeys;
  std::vector<AttributeId> shortIds;
  unsigned shortHashShift = 64;  ///< 64 less the bits of an index into `shortKeys`
};

/// The id of `name`, adding it when new; the empty name is always `kFreeSlot`.
AttributeId internName(NamePool& pool, std::string_view name);

/// The id of `name`, or `kFreeSlot` when it is empty or was never added.
AttributeId findName(const NamePool& pool, std::string_view name);

/// The key of a name of 1 to `kShortNameBytes` bytes: its bytes from the lowest up, and its
/// length in the highest byte, so that no two names share a key and no key is 0.
inline std::uint64_t shortNameKey(std::uint64_t packedBytes, std::size_t length) {
  return packedBytes | (std::uint64_t{length} << 56);
}

/// Adds the short name `name`, whose key is `key`; returns its new id.
AttributeId addShortName(NamePool& pool, std::uint64_t key, std::string_view name);

/// The id of the short name whose key is `key`, or `kFreeSlot` when it was never added. Inline:
/// the reader calls it for nearly every field.
inline AttributeId findShortName(const NamePool& pool, std::uint64_t key) {
  if (pool.shortKeys.empty()) return kFreeSlot;
  const std::size_t mask = pool.shortKeys.size() - 1;
  for (auto at = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> pool.shortHashShift);;
       at = (at + 1) & mask) {
    const std::uint64_t found = pool.shortKeys[at];
    if (found == key) return pool.shortIds[at];
    if (found == 0) return kFreeSlot;
  }
}

/// The id of the short name `name`, whose key is `key`, adding it when new.
inline AttributeId internShortName(NamePool& pool, std::uint64_t key, std::string_view name) {
  const AttributeId found = findShortName(pool, key);
  return found != kFreeSlot ? found : addShortName(pool, key, name);
}

/// The bytes of the name with the given id.
inline std::string_view nameOf(const NamePool& pool, AttributeId id) {
  return std::string_view(pool.bytes).substr(pool.ends[id], pool.ends[id + 1] - pool.ends[id]);
}

/// How many ids are in use, `kFreeSlot` included.
inline std::size_t nameCount(const NamePool& pool) {
  return pool.ends.size() - 1;
}

}  // namespace fdpreserve
