#include "model/slot_table.h"

#include <algorithm>

namespace fdpreserve {

void sizeSlotTable(SlotTable& table, std::size_t rows) {
  table.slots.clear();
  table.rowEnds.clear();
  table.sizedRows = rows;
}

std::size_t rowCount(const SlotTable& table) {
  return std::max(table.sizedRows, table.rowEnds.size());
}

void reserveRows(SlotTable& table, std::size_t rows, std::size_t slots) {
  table.rowEnds.reserve(table.rowEnds.size() + rows);
  table.slots.reserve(table.slots.size() + slots);
}

void appendRow(SlotTable& table, NamePool& pool, std::string_view fields) {
  const std::size_t rowBegin = table.slots.size();
  // Millions of fields pass here: one scan finds each field's end and packs its bytes for the
  // lookup of short names on the way.
  const char* at = fields.data();
  const char* const end = at + fields.size();
  for (;;) {
    const char* const fieldBegin = at;
    std::uint64_t packed = 0;
    unsigned shift = 0;
    for (; at != end && *at != ','; ++at, shift += 8) {
      if (shift < 8 * kShortNameBytes) {
        packed |= std::uint64_t{static_cast<unsigned char>(*at)} << shift;
      }
    }
    const auto length = static_cast<std::size_t>(at - fieldBegin);
    const std::string_view name(fieldBegin, length);
    AttributeId id = kFreeSlot;
    if (length > kShortNameBytes) {
      id = internName(pool, name);
    } else if (length > 0) {
      id = internShortName(pool, shortNameKey(packed, length), name);
    }
    table.slots.push_back(id);
    if (at == end) break;
    ++at;  // the comma
  }
  while (table.slots.size() > rowBegin && table.slots.back() == kFreeSlot) table.slots.pop_back();
  table.rowEnds.push_back(table.slots.size());
}

}  // namespace fdpreserve
