#include "model/reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/state_fixture.h"

namespace fdpreserve::testing {
namespace {

/// A row as names, a free slot that has names after it written as "-".
std::vector<std::string> names(SlotRow row) {
  std::vector<std::string> result;
  for (const AttributeId id : row) {
    result.emplace_back(id == kFreeSlot ? "-" : nameOf(state.attributeNames, id));
  }
  return result;
}

using Names = std::vector<std::string>;

class ReaderTest : public StateTest {
 protected:
  static Names subschema(std::size_t row) { return names(subschemaRow(state.decomposition, row)); }
  static Names left(std::size_t entry) { return names(leftSide(state.dependencies, entry)); }
  static Names right(std::size_t entry) { return names(rightSide(state.dependencies, entry)); }
};

TEST_F(ReaderTest, WorkedExample) {
  readTables("A,B,C\nC,D\n\nA->B\nB,C->D\n");
  EXPECT_EQ(state.schemaCount, 2);
  EXPECT_EQ(subschema(0), (Names{"A", "B", "C"}));
  EXPECT_EQ(subschema(1), (Names{"C", "D"}));
  EXPECT_EQ(subschema(2), Names{});
  ASSERT_EQ(state.dependencyCount, 3);
  EXPECT_EQ(left(0), Names{"A"});
  EXPECT_EQ(right(0), Names{"B"});
  EXPECT_EQ(left(1), (Names{"B", "C"}));
  EXPECT_EQ(right(1), Names{"D"});
  EXPECT_EQ(left(2), Names{});  // the read after the final line feed
  EXPECT_EQ(right(2), Names{});
}

struct DependencyLine {
  const char* line;
  Names left;
  Names right;
};

class DependencyLineTest : public ReaderTest,
                           public ::testing::WithParamInterface<DependencyLine> {};

TEST_P(DependencyLineTest, StoresBothSides) {
  readTables(std::string("\n") + GetParam().line);
  ASSERT_EQ(state.dependencyCount, 1);
  EXPECT_EQ(left(0), GetParam().left);
  EXPECT_EQ(right(0), GetParam().right);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DependencyLineTest,
    ::testing::Values(DependencyLine{"A,B->C,D", {"A", "B"}, {"C", "D"}},
                      DependencyLine{"A->B->C", {"A"}, {"B->C"}}, DependencyLine{"A-B", {"A"}, {}},
                      DependencyLine{"A->", {"A"}, {}}, DependencyLine{"->B", {}, {"B"}},
                      DependencyLine{"A,,B->C", {"A", "-", "B"}, {"C"}},
                      DependencyLine{",A->B", {"-", "A"}, {"B"}},
                      DependencyLine{"A,->B", {"A"}, {"B"}}, DependencyLine{"A->B,", {"A"}, {"B"}},
                      DependencyLine{"A->,B", {"A"}, {"-", "B"}},
                      DependencyLine{"A -> B", {"A "}, {" B"}}, DependencyLine{"", {}, {}},
                      DependencyLine{
                          "AB,CD", {"AB", "CD"}, {"-", "CD"}}));  // no minus: from byte 2

TEST_F(ReaderTest, LineWithoutMinusTakesItsRightSideFromTheLatestArrow) {
  readTables("\nAB,C->D\nWXYZ,QR,ST\nPQ\n");
  EXPECT_EQ(left(1), (Names{"WXYZ", "QR", "ST"}));
  EXPECT_EQ(right(1), (Names{"R", "ST"}));  // from position 4 + 2, split at commas
  EXPECT_EQ(right(2), Names{});             // shorter than that
}

TEST_F(ReaderTest, SectionBoundaries) {
  readTables("\nA->B\n");
  EXPECT_EQ(state.schemaCount, 0);
  EXPECT_EQ(state.dependencyCount, 2);

  readTables("A,B\nC\n");
  EXPECT_EQ(state.schemaCount, 2);
  EXPECT_EQ(state.dependencyCount, 0);

  readTables("A,B\n\n");
  EXPECT_EQ(state.dependencyCount, 1);

  readTables("A,B\n\n\nA->B");
  EXPECT_EQ(state.dependencyCount, 2);
  EXPECT_EQ(left(0), Names{});
  EXPECT_EQ(left(1), Names{"A"});

  readTables("A,B\n\nA,B->C");
  EXPECT_EQ(state.dependencyCount, 1);
}

TEST_F(ReaderTest, UnterminatedLastSubschemaLineEndsTheFile) {
  readTables("A,B\nC,D");
  EXPECT_EQ(state.schemaCount, 2);
  EXPECT_EQ(subschema(1), (Names{"C", "D"}));
  EXPECT_EQ(state.dependencyCount, 0);
}

TEST_F(ReaderTest, CrLfReadsLikeLfAndCtrlZEndsTheInput) {
  readTables(
      "A,B\r\n\r\nA->B\r\n\x1a"
      "B->C\r\n");
  EXPECT_EQ(state.schemaCount, 1);
  EXPECT_EQ(state.dependencyCount, 2);
  EXPECT_EQ(right(0), Names{"B"});
}

TEST_F(ReaderTest, BlanksAndDependencyLinesInTheFirstSectionAreNames) {
  readTables("   \nA->B,C\n");
  EXPECT_EQ(subschema(0), Names{"   "});
  EXPECT_EQ(subschema(1), (Names{"A->B", "C"}));
}

TEST_F(ReaderTest, TablesGrowPastTheirCapacities) {
  std::string input;
  for (int i = 0; i < 31; ++i) input += "S" + std::to_string(i) + "\n";
  std::string wide;
  for (int i = 0; i < 51; ++i) wide += (i > 0 ? "," : "") + std::string("F") + std::to_string(i);
  input += wide + "\n\n";
  for (int i = 0; i < 101; ++i) input += "L" + std::to_string(i) + "->" + wide + "\n";
  readTables(input);
  EXPECT_EQ(state.schemaCount, 32);
  EXPECT_EQ(subschema(30), Names{"S30"});
  EXPECT_EQ(subschema(31).size(), 51u);
  EXPECT_EQ(subschema(31).back(), "F50");
  EXPECT_EQ(state.dependencyCount, 102);
  EXPECT_EQ(left(100), Names{"L100"});
  EXPECT_EQ(right(100).back(), "F50");
}

TEST_F(ReaderTest, SizingLeavesEveryRowFreeAndCountsZero) {
  readTables("A,B\n\nA->B\n");
  sizeTables(state.decomposition, state.dependencies);
  EXPECT_EQ(rowCount(state.decomposition.rows), kSubschemaRows);
  EXPECT_EQ(entryCount(state.dependencies), kDependencyEntries);
  for (std::size_t r = 0; r < kSubschemaRows; ++r) EXPECT_TRUE(subschema(r).empty());
  for (std::size_t d = 0; d < kDependencyEntries; ++d) {
    EXPECT_TRUE(left(d).empty() && right(d).empty());
  }
  readTables("");
  EXPECT_EQ(state.schemaCount, 0);
  EXPECT_EQ(state.dependencyCount, 0);
}

}  // namespace
}  // namespace fdpreserve::testing
