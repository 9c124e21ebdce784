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

}  // namespace
}  // namespace fdpreserve::testing
