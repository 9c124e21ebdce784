#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "model/name_pool.h"

namespace fdpreserve {

/// The slots of one row as stored: every slot after them is free. A free slot inside the row marks
/// its end for every consumer; the names after it are kept but take part in nothing.
using SlotRow = std::span<const AttributeId>;

/// Rows of slots, filled one row after the other and kept in one block, so that millions of short
/// rows cost little more than their ids.
struct SlotTable {
  std::vector<AttributeId> slots;    ///< the stored slots of every row, row after row
  std::vector<std::size_t> rowEnds;  ///< rowEnds[r]: where row r ends in `slots`
  std::size_t sizedRows = 0;         ///< rows that exist, all free, before any is filled
};

/// Empties the table and gives it `rows` rows of free slots.
void sizeSlotTable(SlotTable& table, std::size_t rows);

/// Rows in the table: those it was sized to, or more once more were filled.
std::size_t rowCount(const SlotTable& table);

/// Row `row`; a row never filled is all free.
inline SlotRow rowAt(const SlotTable& table, std::size_t row) {
  if (row >= table.rowEnds.size()) return {};
  const std::size_t begin = row == 0 ? 0 : table.rowEnds[row - 1];
  return SlotRow(table.slots).subspan(begin, table.rowEnds[row] - begin);
}

/// Fills the next row from `fields`: each field between commas goes to the next slot, an empty
/// field leaves its slot free, and the free slots at the row's end are not stored. The
/// `readableAfter` bytes that follow `fields` in memory may be read, never used.
void appendRow(SlotTable& table, NamePool& pool, std::string_view fields,
               std::size_t readableAfter = 0);

/// The attributes of a row: its slots before the first free one.
inline SlotRow attributesOf(SlotRow row) {
  std::size_t count = 0;
  while (count < row.size() && row[count] != kFreeSlot) ++count;
  return row.first(count);
}

/// Makes room for `rows` more rows holding `slots` more slots in all, so that a large input
/// fills the table without regrowing it.
void reserveRows(SlotTable& table, std::size_t rows, std::size_t slots);

}  // namespace fdpreserve
