#include "model/slot_table.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace fdpreserve::testing {
namespace {

TEST(SlotTableTest, RowEndsPastFourBillionSlotsKeepTheirHighBits) {
  // Tables that large need more memory than a test has: the ends are recorded without slots.
  constexpr std::size_t kWrap = std::size_t{1} << 32U;
  const std::size_t ends[] = {10, kWrap - 1, kWrap, kWrap + 5, 3 * kWrap + 1, 3 * kWrap + 1};
  SlotTable table;
  for (const std::size_t end : ends) recordRowEnd(table, end);
  for (std::size_t row = 0; row < std::size(ends); ++row) {
    EXPECT_EQ(rowEnd(table, row), ends[row]) << "row " << row;
  }
}

TEST(SlotTableTest, AFreeSlotInsideARowEndsItsAttributesInEveryRowAfter) {
  NamePool pool;
  SlotTable table;
  appendRow(table, pool, "A,B,,");  // free slots at the end are not kept: no gap
  EXPECT_FALSE(table.hasInnerFreeSlots);
  EXPECT_EQ(attributesAt(table, 0).size(), 2U);
  appendRow(table, pool, ",A");
  appendRow(table, pool, "A,,B");
  appendRow(table, pool, "B,C");
  EXPECT_TRUE(table.hasInnerFreeSlots);
  const std::size_t expected[] = {2, 0, 1, 2};
  for (std::size_t row = 0; row < std::size(expected); ++row) {
    EXPECT_EQ(attributesAt(table, row).size(), expected[row]) << "row " << row;
  }
  sizeSlotTable(table, 0);
  EXPECT_FALSE(table.hasInnerFreeSlots);
}

}  // namespace
}  // namespace fdpreserve::testing
