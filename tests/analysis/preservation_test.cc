#include "analysis/preservation.h"

#include <gtest/gtest.h>

#include "support/state_fixture.h"
#include "support/verdicts.h"

namespace fdpreserve::testing {
namespace {

class PreservationTest : public StateTest {
 protected:
  /// The verdict the whole job appends for `input`, checked to follow the copy exactly.
  static std::string verdictFor(const std::string& input) {
    const std::string output = runInMemory(input);
    const std::size_t verdict = output.rfind("\r\n");
    return verdict == std::string::npos ? output : output.substr(verdict);
  }
};

TEST_F(PreservationTest, WorkedExamples) {
  EXPECT_EQ(verdictFor("K,L\nL,M\n\nK->L\nL->M\nK->M\n"), kPreservingEnd);
  EXPECT_EQ(verdictFor("K,L\nK,M\n\nK->L\nL->M\n"), kNotPreservingEnd);
  EXPECT_EQ(verdictFor("K,M\nL,M\n\nK,L->M\n"), kPreservingEnd);
}

TEST_F(PreservationTest, NothingToTestOrNothingToTestWith) {
  EXPECT_EQ(verdictFor("A,B\n"), kPreservingEnd);       // no dependencies
  EXPECT_EQ(verdictFor("\nK,L->L\n"), kPreservingEnd);  // no subschemas, left side covers
  EXPECT_EQ(verdictFor("\nK->L\n"), kNotPreservingEnd);
  EXPECT_EQ(verdictFor("A,B\n\nA->\nX,Y->\n"), kPreservingEnd);  // empty right sides pass
  EXPECT_EQ(verdictFor("A,B\n\n->B\n"), kNotPreservingEnd);      // empty left side reaches nothing
  EXPECT_EQ(verdictFor("A\n\nQ,R->R,Q\n"), kPreservingEnd);      // the left side holds the right
}

TEST_F(PreservationTest, ReachLeavesAndReentersSubschemas) {
  // Within X,Y the closure of X passes through Z, which no subschema holds.
  EXPECT_EQ(verdictFor("X,Y\n\nX,Z->Z\nZ,Y->Y\nX->Y\n"), kPreservingEnd);
  // A later subschema can feed an earlier one: the passes repeat until nothing changes.
  EXPECT_EQ(verdictFor("C,D\nB,C\nA,B\n\nA->B\nB->C\nC->D\nA->D\n"), kPreservingEnd);
}

TEST_F(PreservationTest, FirstFailingDependencyDecides) {
  const std::string output = runInMemory("K,L\nK,M\n\nL->M\nK->L\n");
  EXPECT_EQ(output, "K,L\r\nK,M\r\n\r\nL->M\r\nK->L\r\n\r\n" + kNotPreservingEnd);
  // The negative verdict leaves the files to the driver.
  EXPECT_FALSE(state.inputFile.isOpen && state.inputFile.content.empty());
}

TEST_F(PreservationTest, PositiveVerdictClosesBothFiles) {
  runInMemory("A\n");
  EXPECT_FALSE(state.inputFile.isOpen);
  EXPECT_FALSE(state.outputFile.isOpen);
}

TEST_F(PreservationTest, LongChainsAreDecidedWithoutDeepRecursion) {
  // 100,000 dependencies A0->A1->...: native recursion along the chain would overflow the stack.
  constexpr int kLength = 100'000;
  std::string subschemas;
  std::string broken;  // the same subschemas but one in the middle
  std::string dependencies;
  for (int i = 0; i < kLength; ++i) {
    const std::string from = "A" + std::to_string(i);
    const std::string to = "A" + std::to_string(i + 1);
    const std::string subschema = std::string(from).append(",").append(to).append("\n");
    subschemas += subschema;
    if (i != kLength / 2) broken += subschema;
    dependencies.append(from).append("->").append(to).append("\n");
  }
  const std::string wholeChain = "A0->A" + std::to_string(kLength);
  EXPECT_EQ(verdictFor(subschemas + "\n" + dependencies + wholeChain), kPreservingEnd);
  EXPECT_EQ(verdictFor(broken + "\n" + dependencies + wholeChain), kNotPreservingEnd);
}

}  // namespace
}  // namespace fdpreserve::testing
