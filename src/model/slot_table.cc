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
  // Fields are short: a plain scan beats a library call for each.
  std::size_t fieldBegin = 0;
  for (std::size_t at = 0; at <= fields.size(); ++at) {
    if (at < fields.size() && fields[at] != ',') continue;
    table.slots.push_back(internName(pool, fields.substr(fieldBegin, at - fieldBegin)));
    fieldBegin = at + 1;
  }
  while (table.slots.size() > rowBegin && table.slots.back() == kFreeSlot) table.slots.pop_back();
  table.rowEnds.push_back(table.slots.size());
}

}  // namespace fdpreserve
