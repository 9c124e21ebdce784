#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
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
  std::vector<AttributeId> slots;  ///< the stored slots of every row, row after row
  /// Where each row ends in `slots`, less the multiples of 2^32 counted by `wrapRows`: half the
  /// memory of full ends, for millions of short rows.
  std::vector<std::uint32_t> rowEnds;
  /// For each multiple of 2^32 slots passed, the row during which it was passed; empty for any
  /// table of fewer slots.
  std::vector<std::size_t> wrapRows;
  std::size_t sizedRows = 0;       ///< rows that exist, all free, before any is filled
  bool hasInnerFreeSlots = false;  ///< some filled row has a free slot before its last name
};

/// Where row `row`, one that was filled, ends in `table.slots`.
inline std::size_t rowEnd(const SlotTable& table, std::size_t row) {
  std::size_t end = table.rowEnds[row];
  if (!table.wrapRows.empty()) {
    const auto wraps = std::upper_bound(table.wrapRows.begin(), table.wrapRows.end(), row);
    end +=
        static_cast<std::size_t>(static_cast<std::uint64_t>(wraps - table.wrapRows.begin()) << 32U);
  }
  return end;
}

/// Empties the table and gives it `rows` rows of free slots.
void sizeSlotTable(SlotTable& table, std::size_t rows);

/// Rows in the table: those it was sized to, or more once more were filled.
std::size_t rowCount(const SlotTable& table);

/// Row `row`; a row never filled is all free.
inline SlotRow rowAt(const SlotTable& table, std::size_t row) {
  if (row >= table.rowEnds.size()) return {};
  const std::size_t begin = row == 0 ? 0 : rowEnd(table, row - 1);
  return SlotRow(table.slots).subspan(begin, rowEnd(table, row) - begin);
}

/// Fills the next row from `fields`: each field between commas goes to the next slot, an empty
/// field leaves its slot free, and the free slots at the row's end are not stored. The
/// `readableAfter` bytes that follow `fields` in memory may be read, never used.
void appendRow(SlotTable& table, NamePool& pool, std::string_view fields,
               std::size_t readableAfter = 0);

/// Notes the rows where a table of more than 2^32 slots passes each multiple of 2^32 up to `end`.
void recordWraps(SlotTable& table, std::size_t end);

/// Ends the next row at `end` in `table.slots`, which is no less than where the last one ended.
inline void recordRowEnd(SlotTable& table, std::size_t end) {
  if (static_cast<std::uint64_t>(end) >> 32U != table.wrapRows.size()) recordWraps(table, end);
  table.rowEnds.push_back(static_cast<std::uint32_t>(end));
}

/// The attributes of a row: its slots before the first free one.
inline SlotRow attributesOf(SlotRow row) {
  std::size_t count = 0;
  while (count < row.size() && row[count] != kFreeSlot) ++count;
  return row.first(count);
}

/// The attributes of row `row`; when no row of the table has a free slot inside, its slots are
/// all attributes, and the millions of short rows of a large input need no scan.
inline SlotRow attributesAt(const SlotTable& table, std::size_t row) {
  const SlotRow slots = rowAt(table, row);
  return table.hasInnerFreeSlots ? attributesOf(slots) : slots;
}

/// Makes room for `rows` more rows holding `slots` more slots in all, so that a large input
/// fills the table without regrowing it.
void reserveRows(SlotTable& table, std::size_t rows, std::size_t slots);

}  // namespace fdpreserve
