#include "model/name_pool.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "model/slot_table.h"

namespace fdpreserve::testing {
namespace {

/// Names on both sides of the short-name limit, some differing only in a trailing NUL byte, in
/// their length or in a byte with the high bit set, and enough of them to grow both tables.
std::vector<std::string> awkwardNames() {
  std::vector<std::string> names;
  for (std::size_t length = 1; length <= kShortNameBytes + 2; ++length) {
    names.emplace_back(length, 'a');
    names.push_back(std::string(length - 1, 'a') + '\0');
    names.push_back(std::string(length - 1, 'a') + '\xFF');
  }
  for (int i = 0; i < 3000; ++i) names.push_back("n" + std::to_string(i) + (i % 2 ? "" : "-long"));
  return names;
}

TEST(NamePoolTest, EachDistinctNameGetsTheNextIdAndKeepsIt) {
  NamePool pool;
  const std::vector<std::string> names = awkwardNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    ASSERT_EQ(internName(pool, names[i]), i + 1) << "name " << i;
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(internName(pool, names[i]), i + 1);
    EXPECT_EQ(findName(pool, names[i]), i + 1);
    EXPECT_EQ(nameOf(pool, static_cast<AttributeId>(i + 1)), names[i]);
  }
  EXPECT_EQ(nameCount(pool), names.size() + 1);
}

TEST(NamePoolTest, ARowScannedFromItsFieldsGetsTheIdsOfItsNames) {
  // The scan of a row packs short names itself; it must agree with the lookup of each name.
  const std::vector<std::string> names = awkwardNames();
  std::string fields;
  for (const std::string& name : names) fields += name + ",";
  fields += names.front();
  // The second time, bytes that are no field follow the row and may be read past its end.
  const std::string fieldsThenMore = fields + "x,y,zzzzzzzz,";
  NamePool pool;
  SlotTable table;
  appendRow(table, pool, fields);
  appendRow(table, pool, std::string_view(fieldsThenMore).substr(0, fields.size()),
            fieldsThenMore.size() - fields.size());
  ASSERT_EQ(rowAt(table, 0).size(), names.size() + 1);
  ASSERT_EQ(rowAt(table, 1).size(), names.size() + 1);
  EXPECT_EQ(rowAt(table, 1).back(), 1U);
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(rowAt(table, 0)[i], i + 1);
    EXPECT_EQ(rowAt(table, 1)[i], i + 1);
    EXPECT_EQ(findName(pool, names[i]), i + 1);
  }
}

TEST(NamePoolTest, TheEmptyNameAndUnknownNamesAreFreeSlots) {
  NamePool pool;
  EXPECT_EQ(findName(pool, "A"), kFreeSlot);
  EXPECT_EQ(findName(pool, "a long name"), kFreeSlot);
  EXPECT_EQ(internName(pool, ""), kFreeSlot);
  internName(pool, "A");
  internName(pool, "a long name");
  EXPECT_EQ(findName(pool, "B"), kFreeSlot);
  EXPECT_EQ(findName(pool, "a longer name"), kFreeSlot);
  EXPECT_EQ(findName(pool, ""), kFreeSlot);
}

}  // namespace
}  // namespace fdpreserve::testing
