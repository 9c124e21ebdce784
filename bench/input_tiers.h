#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace fdpreserve::bench {

/// A fixed shape over the names A0 to An-1 (n >= 2): windows of `subschemaSize` (>= 2) consecutive
/// names, each sharing its last name with the next one's first (the last window holds what is
/// left), the steps Ai->Ai+1 for every i, and jumps Ax->Ay further ahead. Preserving by
/// construction: every step lies within a window, and the steps lead from x to any y ahead of it.
struct WindowShape {
  bool lastFirst = false;  ///< the windows listed from the last one, so a pass in file order
                           ///< moves one step
  std::size_t jumps = 0;   ///< dependencies Ax->Ay drawn from the seed, listed after the steps
  std::size_t reach = 0;   ///< a jump lands 1 to `reach` names ahead; 0 for anywhere ahead
  bool shuffled = false;   ///< every dependency in an order drawn from the seed
};

/// How the inputs of one benchmark tier are shaped.
struct TierShape {
  std::string_view name;        ///< what the tier is called on the command line, "T0" to "T8"
  std::size_t subschemas;       ///< subschema lines
  std::size_t subschemaSize;    ///< names on each subschema line, all different; a last window
                                ///< may hold fewer
  std::size_t dependencyLines;  ///< dependency lines, each ended by a line feed
  std::size_t maxSide;          ///< each side holds 1 to `maxSide` names
  std::size_t attributes;       ///< different names in the whole file
  bool lostAttribute = false;   ///< the last dependency needs a name that no subschema holds
  std::optional<WindowShape> windows = std::nullopt;  ///< set for a fixed shape; else drawn
};

/// Every tier, in the order of their names.
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
