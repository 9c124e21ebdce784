#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace fdpreserve::bench {

/// How the inputs of one benchmark tier are shaped.
struct TierShape {
  std::string_view name;        ///< what the tier is called on the command line, "T0" to "T4"
  std::size_t subschemas;       ///< subschema lines
  std::size_t subschemaSize;    ///< names on each subschema line, all different
  std::size_t dependencyLines;  ///< dependency lines, each ended by a line feed
  std::size_t maxSide;          ///< each side holds 1 to `maxSide` names
  std::size_t attributes;       ///< different names in the whole file
  bool chain;                   ///< subschemas {Ai, Ai+1}, the last pair first; Ai->Ai+1 for each
  bool lostAttribute;           ///< the last dependency needs a name that no subschema holds
};

/// Every tier, the smallest first.
std::span<const TierShape> tierShapes();

/// The tier called `name`, or null when there is none.
const TierShape* findTier(std::string_view name);

/// Whether the tool is to find every dependency of the tier preserved. Holds for every seed.
bool expectsPreserving(const TierShape& shape);

/// The whole input file of `shape` drawn from `seed`: the same bytes for the same seed on every
/// platform. Without dependencies, the empty line that ends the subschemas is left out, so that
/// every line, the dependency lines included, is read as a subschema and nothing is analysed.
std::string tierInput(const TierShape& shape, std::uint64_t seed, bool withDependencies);

}  // namespace fdpreserve::bench
