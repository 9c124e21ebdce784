#include "bench/input_tiers.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "bench/drawn_tiers.h"

// The drawn tiers are drawn as bench/drawn_tiers.cc says. The chain tier is fixed: every Ai->Ai+1
// lies within its own subschema, but the subschemas come last pair first, so a walk over them in
// file order moves one link a pass.

namespace fdpreserve::bench {
namespace {

constexpr std::array<TierShape, 5> kTiers{{
    {.name = "T0",
     .subschemas = 30,
     .subschemaSize = 50,
     .dependencyLines = 99,
     .maxSide = 5,
     .attributes = 200,
     .chain = false,
     .lostAttribute = false},
    {.name = "T1",
     .subschemas = 300,
     .subschemaSize = 20,
     .dependencyLines = 1'000,
     .maxSide = 4,
     .attributes = 1'000,
     .chain = false,
     .lostAttribute = true},
    {.name = "T2",
     .subschemas = 3'000,
     .subschemaSize = 30,
     .dependencyLines = 10'000,
     .maxSide = 4,
     .attributes = 5'000,
     .chain = false,
     .lostAttribute = false},
    {.name = "T3",
     .subschemas = 20'000,
     .subschemaSize = 2,
     .dependencyLines = 20'000,
     .maxSide = 1,
     .attributes = 20'001,
     .chain = true,
     .lostAttribute = false},
    {.name = "T4",
     .subschemas = 10,
     .subschemaSize = 20,
     .dependencyLines = 2'000'000,
     .maxSide = 3,
     .attributes = 1'000,
     .chain = false,
     .lostAttribute = false},
}};

void appendChainName(std::string& out, std::size_t i) {
  out += 'A';
  out += std::to_string(i);
}

/// Subschemas {Ai, Ai+1}, the last pair first, then Ai->Ai+1 in order.
std::string chainInput(const TierShape& shape, bool withDependencies) {
  std::string out;
  for (std::size_t i = shape.subschemas; i-- > 0;) {
    appendChainName(out, i);
    out += ',';
    appendChainName(out, i + 1);
    out += '\n';
  }
  if (withDependencies) out += '\n';
  for (std::size_t i = 0; i < shape.dependencyLines; ++i) {
    appendChainName(out, i);
    out += "->";
    appendChainName(out, i + 1);
    out += '\n';
  }
  return out;
}

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
  return !shape.lostAttribute;
}

std::string tierInput(const TierShape& shape, std::uint64_t seed, bool withDependencies) {
  return shape.chain ? chainInput(shape, withDependencies)
                     : drawnInput(shape, seed, withDependencies);
}

}  // namespace fdpreserve::bench
