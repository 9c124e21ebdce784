#pragma once

// Indexes from attributes to the rows that hold them, and marks that need no clearing: what every
// search over the tables, or over dependencies of its own, is built on.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "model/name_pool.h"

namespace fdpreserve {

/// A row number in an index, or the number of a run in a mark.
using RowIndex = std::uint32_t;

/// For each attribute id, a list of row numbers, all in one block: the list of `a` is
/// `items[begin[a], begin[a + 1])`, ascending.
struct AttributeLists {
  std::vector<std::size_t> begin;
  std::vector<RowIndex> items;
};

/// Fills `lists` for attribute ids 0 to `ids` - 1 from rows 0 to `rows` - 1, each row listed once
/// under each attribute `rowOf(r)` holds, and counts the distinct attributes of each row into
/// `counts` when given.
template <typename RowOf>
void buildAttributeLists(AttributeLists& lists, std::size_t ids, std::size_t rows, RowOf rowOf,
                         std::vector<RowIndex>* counts) {
  constexpr RowIndex kNone = ~RowIndex{0};
  std::vector<RowIndex> lastRow(ids, kNone);
  lists.begin.assign(ids + 1, 0);
  if (counts != nullptr) counts->assign(rows, 0);
  for (std::size_t r = 0; r < rows; ++r) {
    for (const AttributeId a : rowOf(r)) {
      if (lastRow[a] == r) continue;
      lastRow[a] = static_cast<RowIndex>(r);
      ++lists.begin[a + 1];
      if (counts != nullptr) ++(*counts)[r];
    }
  }
  for (std::size_t a = 0; a < ids; ++a) lists.begin[a + 1] += lists.begin[a];
  lists.items.resize(lists.begin[ids]);
  std::vector<std::size_t> next(lists.begin.begin(), lists.begin.end() - 1);
  std::fill(lastRow.begin(), lastRow.end(), kNone);
  for (std::size_t r = 0; r < rows; ++r) {
    for (const AttributeId a : rowOf(r)) {
      if (lastRow[a] == r) continue;
      lastRow[a] = static_cast<RowIndex>(r);
      lists.items[next[a]++] = static_cast<RowIndex>(r);
    }
  }
}

/// The list of attribute `a`.
inline std::span<const RowIndex> listOf(const AttributeLists& lists, AttributeId a) {
  return std::span<const RowIndex>(lists.items)
      .subspan(lists.begin[a], lists.begin[a + 1] - lists.begin[a]);
}

/// The number of the next run; the given marks start over when the numbers run out. A mark holds
/// the number of the run that set it, so that nothing needs clearing between runs.
RowIndex nextMark(RowIndex& counter, std::initializer_list<std::vector<RowIndex>*> marks);

}  // namespace fdpreserve
