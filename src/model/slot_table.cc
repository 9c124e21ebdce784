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

SlotRow rowAt(const SlotTable& table, std::size_t row) {
  if (row >= table.rowEnds.size()) return {};
  const std::size_t begin = row == 0 ? 0 : table.rowEnds[row - 1];
  return SlotRow(table.slots).subspan(begin, table.rowEnds[row] - begin);
}

void appendRow(SlotTable& table, NamePool& pool, std::string_view fields) {
  const std::size_t rowBegin = table.slots.size();
  for (;;) {
    const std::size_t comma = fields.find(',');
    table.slots.push_back(internName(pool, fields.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    fields.remove_prefix(comma + 1);
  }
  while (table.slots.size() > rowBegin && table.slots.back() == kFreeSlot) table.slots.pop_back();
  table.rowEnds.push_back(table.slots.size());
}

SlotRow attributesOf(SlotRow row) {
  const auto firstFree = std::find(row.begin(), row.end(), kFreeSlot);
  return row.first(static_cast<std::size_t>(firstFree - row.begin()));
}

}  // namespace fdpreserve
