#include "bench/input_tiers.h"

#include <array>
#include <cstdint>
#include <string>

#include "bench/drawn_tiers.h"
#include "bench/graph_tiers.h"
#include "bench/window_tiers.h"

// T0, T1, T2 and T4 are drawn as bench/drawn_tiers.cc says. The others are fixed shapes, each
// aimed at a way of deciding that scales badly: T3 and T6 are chains whose subschemas come last
// pair first, so a walk over them in file order moves one link a pass; T5 puts every name into one
// subschema; T7 and T8 add jumps that, but for the short ones, only a walk over many subschemas
// settles, from up to 5,000 names ahead and from anywhere ahead. T7n and T8n are their negative
// twins, with three steps broken. T9 and T11 are wide subschemas that are not one chain: two
// halves of a random graph with questions across (bench/graph_tiers.cc), and a ladder cut into
// overlapping windows. T10 is the chain of T6 with one link gone and one question over the gap.

namespace fdpreserve::bench {
namespace {

constexpr WindowShape kChain{.lastFirst = true};

constexpr std::array<TierShape, 14> kTiers{{
    {.name = "T0",
     .subschemas = 30,
     .subschemaSize = 50,
     .dependencyLines = 99,
     .maxSide = 5,
     .attributes = 200},
    {.name = "T1",
     .subschemas = 300,
     .subschemaSize = 20,
     .dependencyLines = 1'000,
     .maxSide = 4,
     .attributes = 1'000,
     .lostAttribute = true},
    {.name = "T2",
     .subschemas = 3'000,
     .subschemaSize = 30,
     .dependencyLines = 10'000,
     .maxSide = 4,
     .attributes = 5'000},
    {.name = "T3",
     .subschemas = 20'000,
     .subschemaSize = 2,
     .dependencyLines = 20'000,
     .maxSide = 1,
     .attributes = 20'001,
     .windows = kChain},
    {.name = "T4",
     .subschemas = 10,
     .subschemaSize = 20,
     .dependencyLines = 2'000'000,
     .maxSide = 3,
     .attributes = 1'000},
    {.name = "T5",
     .subschemas = 1,
     .subschemaSize = 100'000,
     .dependencyLines = 99'999,
     .maxSide = 1,
     .attributes = 100'000,
     .windows = WindowShape{}},
    {.name = "T6",
     .subschemas = 1'000'000,
     .subschemaSize = 2,
     .dependencyLines = 1'000'000,
     .maxSide = 1,
     .attributes = 1'000'001,
     .windows = kChain},
    {.name = "T7",
     .subschemas = 4'082,
     .subschemaSize = 50,
     .dependencyLines = 299'999,
     .maxSide = 1,
     .attributes = 200'000,
     .windows = WindowShape{.jumps = 100'000, .reach = 5'000, .shuffled = true}},
    {.name = "T7n",
     .subschemas = 4'082,
     .subschemaSize = 50,
     .dependencyLines = 299'996,
     .maxSide = 1,
     .attributes = 200'000,
     .windows = WindowShape{.jumps = 100'000, .reach = 5'000, .shuffled = true, .brokenSteps = 3}},
    {.name = "T8",
     .subschemas = 99'999,
     .subschemaSize = 2,
     .dependencyLines = 199'999,
     .maxSide = 1,
     .attributes = 100'000,
     .windows = WindowShape{.jumps = 100'000, .shuffled = true}},
    {.name = "T8n",
     .subschemas = 99'999,
     .subschemaSize = 2,
     .dependencyLines = 199'996,
     .maxSide = 1,
     .attributes = 100'000,
     .windows = WindowShape{.jumps = 100'000, .shuffled = true, .brokenSteps = 3}},
    {.name = "T9",
     .subschemas = 2,
     .subschemaSize = 50'001,
     .dependencyLines = 249'998,
     .maxSide = 1,
     .attributes = 100'000,
     .parts = PartsShape{.crossings = 50'000}},
    {.name = "T10",
     .subschemas = 999'999,
     .subschemaSize = 2,
     .dependencyLines = 1'000'000,
     .maxSide = 1,
     .attributes = 1'000'001,
     .windows = WindowShape{.lastFirst = true, .brokenSteps = 1, .brokenWindows = true}},
    {.name = "T11",
     .subschemas = 400,
     .subschemaSize = 80,
     .dependencyLines = 39'998,
     .maxSide = 1,
     .attributes = 24'000,
     .ladder =
         LadderShape{
             .rungs = 12'000, .width = 40, .stride = 30, .questions = 2'000, .backward = 2'000}},
}};

}  // namespace

std::span<const TierShape> tierShapes() {
  return kTiers;
}

const TierShape* findTier(std::string_view name) {
  for (const TierShape& shape : kTiers) {
    if (shape.name == name) return &shape;
  }
  return nullptr;
}

bool expectsPreserving(const TierShape& shape) {
  const bool broken = shape.windows && shape.windows->brokenSteps > 0;
  const bool backward = shape.ladder && shape.ladder->backward > 0;
  return !shape.lostAttribute && !broken && !shape.parts && !backward;
}

std::string tierInput(const TierShape& shape, std::uint64_t seed, bool withDependencies) {
  if (shape.windows) return windowInput(shape, seed, withDependencies);
  if (shape.parts) return partsInput(shape, seed, withDependencies);
  if (shape.ladder) return ladderInput(shape, seed, withDependencies);
  return drawnInput(shape, seed, withDependencies);
}

}  // namespace fdpreserve::bench
