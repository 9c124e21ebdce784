#include "model/name_pool.h"

#include <bit>

namespace fdpreserve {
namespace {

constexpr std::size_t kInitialSlots = 1024;

/// FNV-1a: attribute names are mostly a few bytes long, and this costs a few steps a byte.
std::uint64_t hashName(std::string_view name) {
  std::uint64_t hash = 0xCBF29CE484222325ULL;
  for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
  return hash ^ (hash >> 32);
}

constexpr std::uint64_t kIdBits = 0xFFFFFFFFULL;

AttributeId idIn(std::uint64_t slot) {
  return static_cast<AttributeId>(slot & kIdBits);
}

/// The table entry for a name with this hash and id.
std::uint64_t entryFor(std::uint64_t hash, AttributeId id) {
  return (hash & ~kIdBits) | id;
}

/// The slot where `name` is, or the empty slot where it would go.
std::size_t slotFor(const NamePool& pool, std::string_view name, std::uint64_t hash) {
  const std::size_t mask = pool.slots.size() - 1;
  std::size_t slot = hash & mask;
  for (;; slot = (slot + 1) & mask) {
    const std::uint64_t entry = pool.slots[slot];
    if (entry == 0) return slot;
    if ((entry & ~kIdBits) == (hash & ~kIdBits) && nameOf(pool, idIn(entry)) == name) return slot;
  }
}

/// Doubles the table, keeping it at most half full.
void grow(NamePool& pool) {
  const std::size_t size = pool.slots.empty() ? kInitialSlots : 2 * pool.slots.size();
  pool.slots.assign(size, 0);
  for (AttributeId id = 1; id < nameCount(pool); ++id) {
    const std::string_view name = nameOf(pool, id);
    if (name.size() <= kShortNameBytes) continue;  // those have a table of their own
    const std::uint64_t hash = hashName(name);
    pool.slots[slotFor(pool, name, hash)] = entryFor(hash, id);
  }
}

/// The key of a name of 1 to `kShortNameBytes` bytes.
std::uint64_t keyOf(std::string_view name) {
  std::uint64_t packed = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    packed |= std::uint64_t{static_cast<unsigned char>(name[i])} << (8 * i);
  }
  return shortNameKey(packed, name.size());
}

/// Where the short name with this key is, or the empty slot where it would go.
std::size_t shortSlotFor(const NamePool& pool, std::uint64_t key) {
  const std::size_t mask = pool.shortKeys.size() - 1;
  auto at = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> pool.shortHashShift);
  while (pool.shortKeys[at] != key && pool.shortKeys[at] != 0) at = (at + 1) & mask;
  return at;
}

/// Doubles the table of short names, keeping it at most half as full as there are names.
void growShortNames(NamePool& pool) {
  const std::size_t size = pool.shortKeys.empty() ? kInitialSlots : 2 * pool.shortKeys.size();
  pool.shortKeys.assign(size, 0);
  pool.shortIds.assign(size, kFreeSlot);
  pool.shortHashShift = 64 - static_cast<unsigned>(std::countr_zero(size));
  for (AttributeId id = 1; id < nameCount(pool); ++id) {
    const std::string_view name = nameOf(pool, id);
    if (name.size() > kShortNameBytes) continue;
    const std::uint64_t key = keyOf(name);
    const std::size_t at = shortSlotFor(pool, key);
    pool.shortKeys[at] = key;
    pool.shortIds[at] = id;
  }
}

AttributeId addName(NamePool& pool, std::string_view name) {
  const auto id = static_cast<AttributeId>(nameCount(pool));
  pool.bytes.append(name);
  pool.ends.push_back(pool.bytes.size());
  return id;
}

}  // namespace

AttributeId addShortName(NamePool& pool, std::uint64_t key, std::string_view name) {
  if (2 * nameCount(pool) >= pool.shortKeys.size()) growShortNames(pool);
  const std::size_t at = shortSlotFor(pool, key);
  if (pool.shortKeys[at] == key) return pool.shortIds[at];
  const AttributeId id = addName(pool, name);
  pool.shortKeys[at] = key;
  pool.shortIds[at] = id;
  return id;
}

AttributeId internName(NamePool& pool, std::string_view name) {
  if (name.empty()) return kFreeSlot;
  if (name.size() <= kShortNameBytes) return internShortName(pool, keyOf(name), name);
  if (2 * nameCount(pool) >= pool.slots.size()) grow(pool);
  const std::uint64_t hash = hashName(name);
  const std::size_t slot = slotFor(pool, name, hash);
  if (pool.slots[slot] != 0) return idIn(pool.slots[slot]);
  const AttributeId id = addName(pool, name);
  pool.slots[slot] = entryFor(hash, id);
  return id;
}

AttributeId findName(const NamePool& pool, std::string_view name) {
  if (name.empty()) return kFreeSlot;
  if (name.size() <= kShortNameBytes) {
    return pool.shortKeys.empty() ? kFreeSlot : pool.shortIds[shortSlotFor(pool, keyOf(name))];
  }
  if (pool.slots.empty()) return kFreeSlot;
  return idIn(pool.slots[slotFor(pool, name, hashName(name))]);
}

}  // namespace fdpreserve
