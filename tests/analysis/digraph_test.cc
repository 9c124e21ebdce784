#include "analysis/digraph.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace fdpreserve {
namespace {

using Edges = std::vector<std::pair<NodeId, NodeId>>;

/// The components of `nodes`, in order.
std::vector<NodeId> componentsOf(const Condensation& condensation,
                                 const std::vector<NodeId>& nodes) {
  std::vector<NodeId> components;
  components.reserve(nodes.size());
  for (const NodeId v : nodes) components.push_back(condensation.componentOf[v]);
  return components;
}

Digraph graphOf(std::size_t nodes, const Edges& edges) {
  return buildDigraph(nodes, [&](auto emit) {
    for (const auto& [from, to] : edges) emit(from, to);
  });
}

TEST(DigraphTest, BuildKeepsEdgesBySource) {
  const Digraph graph = graphOf(3, {{2, 0}, {0, 1}, {2, 1}});
  EXPECT_EQ(nodeCount(graph), 3u);
  EXPECT_EQ(std::vector<NodeId>(successors(graph, 2).begin(), successors(graph, 2).end()),
            (std::vector<NodeId>{0, 1}));
  EXPECT_TRUE(successors(graph, 1).empty());
}

TEST(DigraphTest, ComponentsAreCyclesAndEdgesLeadDownward) {
  // 0 <-> 1 -> 2 -> 3 -> 2, 4 alone, 5 -> 5
  const Edges edges{{0, 1}, {1, 0}, {1, 2}, {2, 3}, {3, 2}, {5, 5}};
  const Condensation c = condense(graphOf(6, edges));
  EXPECT_EQ(c.componentOf[0], c.componentOf[1]);
  EXPECT_EQ(c.componentOf[2], c.componentOf[3]);
  EXPECT_NE(c.componentOf[0], c.componentOf[2]);
  EXPECT_EQ(nodeCount(c.between), 4u);
  EXPECT_EQ(c.between.edgeTargets.size(), 1u);  // the two edges inside cycles and the loop vanish
  for (const auto& [from, to] : edges) EXPECT_LE(c.componentOf[to], c.componentOf[from]);
}

TEST(DigraphTest, ReachedTargetsFollowPathsAndCountThemselves) {
  const Condensation c = condense(graphOf(5, {{0, 1}, {1, 2}, {2, 1}, {3, 4}}));
  const std::vector<NodeId> targets{2, 4, 0};
  const std::vector<std::uint64_t> reached = reachedTargets(c.between, componentsOf(c, targets));
  EXPECT_EQ(reached[c.componentOf[0]], 0b101u);
  EXPECT_EQ(reached[c.componentOf[1]], 0b001u);
  EXPECT_EQ(reached[c.componentOf[3]], 0b010u);
  EXPECT_EQ(reached[c.componentOf[4]], 0b010u);
}

TEST(DigraphTest, ReachedTargetsPastSixtyFourTakeMoreWords) {
  // 0 -> 1 -> ... -> 149, every node a target: row c of a node v holds the bits v to 149.
  constexpr NodeId kNodes = 150;
  const Condensation c = condense(buildDigraph(kNodes, [](auto emit) {
    for (NodeId v = 0; v + 1 < kNodes; ++v) emit(v, v + 1);
  }));
  std::vector<NodeId> targets(kNodes);
  for (NodeId v = 0; v < kNodes; ++v) targets[v] = v;
  const std::size_t words = targetWords(targets.size());
  ASSERT_EQ(words, 3u);
  const std::vector<std::uint64_t> reached = reachedTargets(c.between, componentsOf(c, targets));
  ASSERT_EQ(reached.size(), kNodes * words);
  for (const NodeId v : {NodeId{0}, NodeId{63}, NodeId{64}, NodeId{100}, NodeId{149}}) {
    const std::uint64_t* const row = reached.data() + c.componentOf[v] * words;
    for (NodeId t = 0; t < kNodes; ++t) {
      EXPECT_EQ(((row[t / 64] >> (t % 64)) & 1U) != 0, t >= v) << "from " << v << " to " << t;
    }
  }
}

TEST(DigraphTest, ReachedTargetsIntoAUsedBufferKeepNothingOfTheLastChunk) {
  const Condensation c = condense(graphOf(5, {{0, 1}, {1, 2}, {2, 1}, {3, 4}}));
  std::vector<NodeId> wide(130, 2);  // three words a row, every bit for node 2
  wide[129] = 4;
  const std::vector<NodeId> narrow{4, 0};
  std::vector<std::uint64_t> reached;
  reachedTargets(c.between, componentsOf(c, wide), reached);
  EXPECT_EQ(reached, reachedTargets(c.between, componentsOf(c, wide)));
  reachedTargets(c.between, componentsOf(c, narrow), reached);
  EXPECT_EQ(reached, reachedTargets(c.between, componentsOf(c, narrow)));
}

TEST(DigraphTest, LongChainsAndCyclesNeedNoNativeRecursion) {
  constexpr NodeId kNodes = 1'000'000;
  const Digraph chain = buildDigraph(kNodes, [](auto emit) {
    for (NodeId v = 0; v + 1 < kNodes; ++v) emit(v, v + 1);
  });
  const Condensation open = condense(chain);
  EXPECT_EQ(nodeCount(open.between), kNodes);
  const NodeId last = kNodes - 1;
  EXPECT_EQ(reachedTargets(open.between,
                           componentsOf(open, std::vector<NodeId>{last}))[open.componentOf[0]],
            1u);

  const Digraph ring = buildDigraph(kNodes, [](auto emit) {
    for (NodeId v = 0; v < kNodes; ++v) emit(v, (v + 1) % kNodes);
  });
  EXPECT_EQ(nodeCount(condense(ring).between), 1u);
}

}  // namespace
}  // namespace fdpreserve
