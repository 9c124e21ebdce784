#include "analysis/reach.h"

#include <gtest/gtest.h>

#include "support/state_fixture.h"

namespace fdpreserve::testing {
namespace {

using List = AttributeList;

class ReachTest : public StateTest {
 protected:
  /// Reads the lines as the dependencies of a file without subschemas.
  static void dependencies(const std::string& lines) { readTables("\n" + lines); }
};

TEST_F(ReachTest, WithoutDependenciesTheListIsSortedAndMerged) {
  readTables("");
  EXPECT_EQ(state.dependencyCount, 0);
  EXPECT_EQ(reachClosure(List{"B", "A", "B"}), (List{"A", "B"}));
  EXPECT_EQ(reachClosure(List{}), List{});
}

TEST_F(ReachTest, AnyOneLeftAttributeFires) {
  dependencies("A,B->D\n");
  EXPECT_EQ(reachClosure(List{"A"}), (List{"A", "D"}));
  EXPECT_EQ(reachClosure(List{"B"}), (List{"B", "D"}));
  EXPECT_EQ(reachClosure(List{}), List{});
}

TEST_F(ReachTest, ChainsCyclesAndSelfDependencies) {
  dependencies("A->B\nB->D\n");
  EXPECT_EQ(reachClosure(List{"A"}), (List{"A", "B", "D"}));
  EXPECT_EQ(reachClosure(List{"D"}), List{"D"});
  dependencies("A->B\nB->A\n");
  EXPECT_EQ(reachClosure(List{"A"}), (List{"A", "B"}));
  dependencies("A->A,B\n");
  EXPECT_EQ(reachClosure(List{"A"}), (List{"A", "B"}));
}

TEST_F(ReachTest, OnlySlotsBeforeTheFirstFreeOneCount) {
  dependencies(",A->B\nC->,D\nE,,F->G\n");
  EXPECT_EQ(reachClosure(List{"A"}), List{"A"});
  EXPECT_EQ(reachClosure(List{"C"}), List{"C"});
  EXPECT_EQ(reachClosure(List{"F"}), List{"F"});
  EXPECT_EQ(reachClosure(List{"E"}), (List{"E", "G"}));
}

TEST_F(ReachTest, EntriesAtOrPastTheCountNeverFire) {
  dependencies("A->B\nB->C\n");
  state.dependencyCount = 1;
  EXPECT_EQ(reachClosure(List{"A"}), (List{"A", "B"}));
  state.dependencyCount = 0;
  EXPECT_EQ(reachClosure(List{"A"}), List{"A"});
}

TEST_F(ReachTest, CallsInARowShareNothing) {
  dependencies("A->B\nC->D\n");
  const List first = reachClosure(List{"A"});
  const List second = reachClosure(List{"C"});
  EXPECT_EQ(first, (List{"A", "B"}));
  EXPECT_EQ(second, (List{"C", "D"}));
}

TEST_F(ReachTest, LongChainsNeedNoDeepRecursion) {
  std::string lines;
  constexpr int kLength = 3000;
  for (int i = 0; i < kLength; ++i) {
    lines += "A" + std::to_string(i) + "->A" + std::to_string(i + 1) + "\n";
  }
  dependencies(lines);
  EXPECT_EQ(reachClosure(List{"A0"}).size(), kLength + 1u);
}

}  // namespace
}  // namespace fdpreserve::testing
