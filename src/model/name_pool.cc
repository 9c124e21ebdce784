#include "model/name_pool.h"

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
    const std::uint64_t hash = hashName(nameOf(pool, id));
    pool.slots[slotFor(pool, nameOf(pool, id), hash)] = entryFor(hash, id);
  }
}

}  // namespace

AttributeId internName(NamePool& pool, std::string_view name) {
  if (name.empty()) return kFreeSlot;
  if (2 * nameCount(pool) >= pool.slots.size()) grow(pool);
  const std::uint64_t hash = hashName(name);
  const std::size_t slot = slotFor(pool, name, hash);
  if (pool.slots[slot] != 0) return idIn(pool.slots[slot]);
  const auto id = static_cast<AttributeId>(nameCount(pool));
  pool.bytes.append(name);
  pool.ends.push_back(pool.bytes.size());
  pool.slots[slot] = entryFor(hash, id);
  return id;
}

AttributeId findName(const NamePool& pool, std::string_view name) {
  if (name.empty() || pool.slots.empty()) return kFreeSlot;
  return idIn(pool.slots[slotFor(pool, name, hashName(name))]);
}

}  // namespace fdpreserve
