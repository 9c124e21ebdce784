#include "analysis/attribute_list.h"

#include <gtest/gtest.h>

#include "support/state_fixture.h"

namespace fdpreserve::testing {
namespace {

using List = AttributeList;
using AttributeListTest = StateTest;

TEST_F(AttributeListTest, AddUniqueAppendsWhatIsNewAndAlwaysSorts) {
  List list{"B", "A"};
  addUnique("D", list);
  EXPECT_EQ(list, (List{"A", "B", "D"}));
  list = {"B", "A"};
  addUnique("A", list);
  EXPECT_EQ(list, (List{"A", "B"}));
  list = {};
  addUnique("X", list);
  EXPECT_EQ(list, List{"X"});
}

TEST_F(AttributeListTest, NamesOrderByUnsignedBytesPrefixFirst) {
  List list;
  for (const char* name : {"a", "B", "AB", "A", "\x80", "Z", "A "}) addUnique(name, list);
  EXPECT_EQ(list, (List{"A", "A ", "AB", "B", "Z", "a", "\x80"}));
}

TEST_F(AttributeListTest, ContainsAttributeScansPastEmptyEntries) {
  EXPECT_TRUE(containsAttribute("", List{}));
  EXPECT_TRUE(containsAttribute("A", (List{"", "A"})));
  EXPECT_FALSE(containsAttribute("a", (List{"A", "A "})));
}

TEST_F(AttributeListTest, IsSubsetStopsEachListAtItsFirstEmptyEntry) {
  EXPECT_TRUE(isSubset(List{}, List{}));
  EXPECT_FALSE(isSubset(List{"A"}, List{}));
  EXPECT_FALSE(isSubset(List{"A"}, (List{"", "A"})));
  EXPECT_TRUE(isSubset((List{"", "B"}), List{"A"}));
  EXPECT_TRUE(isSubset((List{"A", "B"}), (List{"B", "A"})));
  EXPECT_TRUE(isSubset((List{"A", "", "C"}), (List{"A", "B"})));
}

TEST_F(AttributeListTest, IntersectLists) {
  EXPECT_EQ(intersectLists((List{"D", "A", "B"}), (List{"B", "D", "E"})), (List{"B", "D"}));
  EXPECT_EQ(intersectLists((List{"A", "A"}), List{"A"}), List{"A"});
  EXPECT_EQ(intersectLists((List{"A", "", "B"}), (List{"A", "B"})), List{"A"});
  EXPECT_EQ(intersectLists(List{"B"}, (List{"A", "", "B"})), List{});
}

TEST_F(AttributeListTest, UniteLists) {
  EXPECT_EQ(uniteLists((List{"D", "A"}), (List{"B", "A"})), (List{"A", "B", "D"}));
  EXPECT_EQ(uniteLists((List{"", "A"}), List{"B"}), List{"B"});
  EXPECT_EQ(uniteLists(List{}, List{}), List{});
}

TEST_F(AttributeListTest, ResultsShareNothingWithEachOtherOrTheScratchLists) {
  const List first = intersectLists((List{"A", "B"}), (List{"A", "B"}));
  const List second = intersectLists(List{"C"}, List{"C"});
  EXPECT_EQ(first, (List{"A", "B"}));
  EXPECT_EQ(second, List{"C"});
  const List united = uniteLists(List{"X"}, List{"Y"});
  state.unionScratch.clear();
  EXPECT_EQ(united, (List{"X", "Y"}));
  EXPECT_EQ(uniteLists(List{"Z"}, List{}), List{"Z"});
}

TEST_F(AttributeListTest, RowAsListPadsToFiftySlots) {
  readTables("A,,B\n");
  const List row = rowAsList(subschemaRow(state.decomposition, 0));
  ASSERT_EQ(row.size(), kSlotsPerRow);
  EXPECT_EQ(row[0], "A");
  EXPECT_EQ(row[1], "");
  EXPECT_EQ(row[2], "B");
  EXPECT_EQ(row[49], "");
}

}  // namespace
}  // namespace fdpreserve::testing
