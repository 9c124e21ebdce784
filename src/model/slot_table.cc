#include "model/slot_table.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace fdpreserve {

void sizeSlotTable(SlotTable& table, std::size_t rows) {
  table.slots.clear();
  table.rowEnds.clear();
  table.wrapRows.clear();
  table.hasInnerFreeSlots = false;
  table.sizedRows = rows;
}

std::size_t rowCount(const SlotTable& table) {
  return std::max(table.sizedRows, table.rowEnds.size());
}

void reserveRows(SlotTable& table, std::size_t rows, std::size_t slots) {
  table.rowEnds.reserve(table.rowEnds.size() + rows);
  table.slots.reserve(table.slots.size() + slots);
}

namespace {

/// A field found by the scan: where it ends, and its first bytes packed from the lowest up.
struct Field {
  const char* end;
  std::uint64_t packed;
};

/// Finds the field at `at` byte by byte.
Field scanField(const char* at, const char* end) {
  std::uint64_t packed = 0;
  for (unsigned shift = 0; at != end && *at != ','; ++at, shift += 8) {
    if (shift < 8 * kShortNameBytes) {
      packed |= std::uint64_t{static_cast<unsigned char>(*at)} << shift;
    }
  }
  return {at, packed};
}

/// Finds the field at `at` from the eight bytes there, all readable, without a branch a byte.
/// A field of eight bytes or more is left to `scanField`.
Field scanFieldAhead(const char* at, const char* end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  // The lowest byte flagged is the first comma; flags above it may be false, and do not matter.
  const std::uint64_t commas = word ^ (kOnes * ',');
  const std::uint64_t flagged = (commas - kOnes) & ~commas & kHighBits;
  std::size_t length =
      flagged == 0 ? sizeof word : static_cast<std::size_t>(std::countr_zero(flagged)) / 8;
  length = std::min(length, static_cast<std::size_t>(end - at));
  if (length > kShortNameBytes) return scanField(at, end);
  const std::uint64_t packed = length == 0 ? 0 : word & (~std::uint64_t{0} >> (64 - 8 * length));
  return {at + length, packed};
}

}  // namespace

void recordWraps(SlotTable& table, std::size_t end) {
  const std::uint64_t wrapsAtEnd = static_cast<std::uint64_t>(end) >> 32U;
  for (std::uint64_t wraps = table.wrapRows.size(); wraps < wrapsAtEnd; ++wraps) {
    table.wrapRows.push_back(table.rowEnds.size());
  }
}

void appendRow(SlotTable& table, NamePool& pool, std::string_view fields,
               std::size_t readableAfter) {
  const std::size_t rowBegin = table.slots.size();
  constexpr std::size_t kNoFreeSlot = SIZE_MAX;
  std::size_t firstFree = kNoFreeSlot;  // where the row's first free slot went
  // Millions of fields pass here: one scan finds each field's end and packs its bytes for the
  // lookup of short names on the way, eight bytes at a time where eight bytes may be read.
  constexpr bool kLittleEndian = std::endian::native == std::endian::little;
  const char* at = fields.data();
  const char* const end = at + fields.size();
  for (;;) {
    const auto readable = static_cast<std::size_t>(end - at) + readableAfter;
    const Field field = kLittleEndian && readable >= sizeof(std::uint64_t) ? scanFieldAhead(at, end)
                                                                           : scanField(at, end);
    const auto length = static_cast<std::size_t>(field.end - at);
    AttributeId id = kFreeSlot;
    if (length > kShortNameBytes) {
      id = internName(pool, std::string_view(at, length));
    } else if (length > 0) {
      id = internShortName(pool, shortNameKey(field.packed, length), std::string_view(at, length));
    }
    if (id == kFreeSlot && firstFree == kNoFreeSlot) firstFree = table.slots.size();
    table.slots.push_back(id);
    if (field.end == end) break;
    at = field.end + 1;  // past the comma
  }
  while (table.slots.size() > rowBegin && table.slots.back() == kFreeSlot) table.slots.pop_back();
  if (firstFree < table.slots.size()) table.hasInnerFreeSlots = true;
  recordRowEnd(table, table.slots.size());
}

}  // namespace fdpreserve
