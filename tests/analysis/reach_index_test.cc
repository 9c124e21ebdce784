#include "analysis/reach_index.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "analysis/engine_limits.h"
#include "analysis/inner_steps.h"

namespace fdpreserve {
namespace {

/// Reach between every pair of components, by a walk from each: plainly right.
std::vector<std::vector<bool>> reachByWalks(const Digraph& graph) {
  const std::size_t nodes = nodeCount(graph);
  std::vector<std::vector<bool>> reach(nodes, std::vector<bool>(nodes, false));
  for (NodeId from = 0; from < nodes; ++from) {
    std::vector<NodeId> stack{from};
    reach[from][from] = true;
    while (!stack.empty()) {
      const NodeId at = stack.back();
      stack.pop_back();
      for (const NodeId next : successors(graph, at)) {
        if (!reach[from][next]) {
          reach[from][next] = true;
          stack.push_back(next);
        }
      }
    }
  }
  return reach;
}

class ReachIndexTest : public ::testing::Test {
 protected:
  void TearDown() override { engineLimits = EngineLimits{}; }
};

TEST_F(ReachIndexTest, LabelsSearchesAndSweepsAgreeWithWalksOnRandomGraphs) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    const std::size_t nodes = 1 + random() % 40;
    const std::size_t edges = random() % (3 * nodes);
    const Condensation condensed = condense(buildDigraph(nodes, [&](auto emit) {
      std::mt19937 draw(static_cast<unsigned>(round));
      for (std::size_t e = 0; e < edges; ++e) {
        emit(static_cast<NodeId>(draw() % nodes), static_cast<NodeId>(draw() % nodes));
      }
    }));
    const auto expected = reachByWalks(condensed.between);
    ReachIndex index = buildReachIndex(condensed.between);
    std::vector<ReachQuestion> questions;
    const std::size_t components = nodeCount(condensed.between);
    for (NodeId from = 0; from < components; ++from) {
      for (NodeId to = 0; to < components; ++to) {
        const Reach quick = quickReach(index, from, to);
        ASSERT_NE(quick, expected[from][to] ? Reach::kNo : Reach::kYes) << round;
        ASSERT_EQ(searchReach(index, from, to), expected[from][to]) << round;
        questions.push_back({from, to});
      }
    }
    for (const std::size_t walks : {std::size_t{0}, std::size_t{1000}}) {
      engineLimits.searchWalks = walks;
      const std::vector<std::uint64_t> answers = answerReachQuestions(index, questions);
      for (std::size_t q = 0; q < questions.size(); ++q) {
        ASSERT_EQ(bitAt(answers, q), expected[questions[q].from][questions[q].to])
            << round << " with " << walks << " walks";
      }
    }
  }
}

TEST_F(ReachIndexTest, AChainOfMillionsIsLabelledWithoutRecursionAndAnsweredByItsTree) {
  constexpr NodeId kLength = 1'000'000;
  ReachIndex index = buildReachIndex(buildDigraph(kLength, [](auto emit) {
    for (NodeId v = 1; v < kLength; ++v) emit(v, v - 1);
  }));
  EXPECT_EQ(quickReach(index, kLength - 1, 0), Reach::kYes);
  EXPECT_EQ(quickReach(index, 0, kLength - 1), Reach::kNo);
  EXPECT_EQ(quickReach(index, 500'000, 499'999), Reach::kYes);
}

// A wide subschema's own steps, on graphs far larger than the differential inputs: from group to
// group, the links reach exactly what the steps reach, through components outside the groups
// too, and the labels that prune the search never cut a way off. Without work left, nothing is
// linked.
TEST_F(ReachIndexTest, InnerStepsLinkGroupsAsTheStepsReachEachOther) {
  std::mt19937 random(11);
  for (int round = 0; round < 60; ++round) {
    const std::size_t nodes = 80 + random() % 120;
    const Condensation condensed = condense(buildDigraph(nodes, [&](auto emit) {
      std::mt19937 draw(static_cast<unsigned>(round));
      for (NodeId from = 0; from < nodes; ++from) {
        for (std::size_t e = draw() % 3; e > 0; --e) {
          emit(from, static_cast<NodeId>(from + 1 + draw() % 6) % static_cast<NodeId>(nodes));
        }
      }
    }));
    const auto expected = reachByWalks(condensed.between);
    const ReachIndex index = buildReachIndex(condensed.between);
    const auto components = static_cast<NodeId>(nodeCount(condensed.between));
    // Each group stands for itself in the links; the inner nodes come after the components.
    std::vector<GroupNode> groups;
    for (NodeId c = 0; c < components; ++c) {
      if (random() % 3 == 0) groups.push_back({c, c});
    }
    InnerSteps inner = startInnerSteps(index, components);
    std::vector<std::pair<NodeId, NodeId>> links;
    ASSERT_TRUE(linkInnerSteps(inner, index, groups, links));
    const Digraph linked = buildDigraph(inner.nextNode, [&](auto emit) {
      for (const auto& [from, to] : links) emit(from, to);
    });
    const auto linkedReach = reachByWalks(linked);
    for (const GroupNode& from : groups) {
      for (const GroupNode& to : groups) {
        ASSERT_EQ(linkedReach[from.node][to.node], expected[from.component][to.component])
            << "round " << round << ": " << from.component << " to " << to.component;
      }
    }
    engineLimits.innerStepWalks = 0;
    InnerSteps none = startInnerSteps(index, components);
    links.clear();
    if (!groups.empty()) {
      EXPECT_FALSE(linkInnerSteps(none, index, groups, links));
    }
    EXPECT_TRUE(links.empty());
    engineLimits = EngineLimits{};
  }
}

}  // namespace
}  // namespace fdpreserve
