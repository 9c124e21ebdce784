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
/// construction: every step lies within a window, and the steps lead from x to any y ahead of it;
/// with broken steps, not preserving by construction.
struct WindowShape {
  bool lastFirst = false;  ///< the windows listed from the last one, so a pass in file order
                           ///< moves one step
  std::size_t jumps = 0;   ///< dependencies Ax->Ay drawn from the seed, listed after the steps
  std::size_t reach = 0;   ///< a jump lands 1 to `reach` names ahead; 0 for anywhere ahead
  bool shuffled = false;   ///< every dependency in an order drawn from the seed
  /// Steps Ai->Ai+1 left out, each where some jump crosses it and none that could carry a walk
  /// over the gap within one window does: those jumps can then never be preserved.
  std::size_t brokenSteps = 0;
  /// The windows (pairs) that hold a broken step go too, and one last dependency A0->An-1
  /// crosses every gap: negative only at the end of the file.
  bool brokenWindows = false;
};

/// Wide subschemas over consecutive names, each part sharing its last name with the next one's
/// first: inside each part, every name but the last has `outDegree` dependencies to names 1 to
/// `reach` ahead in its part (the shared first name of a later part 2 or more ahead); then
/// `crossings` dependencies from a name of one part to a name of a later one, the first of them
/// onto the name just after a shared one, which nothing reaches: negative by construction. Every
/// dependency in an order drawn from the seed.
struct PartsShape {
  std::size_t parts = 2;
  std::size_t outDegree = 2;
  std::size_t reach = 3'000;
  std::size_t crossings = 0;
};

/// Two rails of names, Ai and Bi for i below `rungs`, with the steps Ai->Ai+1 and Bi->Bi+1 and the
/// rungs Ai->Bi, cut into windows of `width` rungs (both rails) that start every `stride` rungs
/// (`stride` < `width`, so neighbours overlap); then `questions` dependencies Ax->By at least
/// `width` rungs ahead, which only a walk over several windows preserves, and `backward` ones
/// Bx->Ay, which nothing preserves. Every dependency in an order drawn from the seed.
struct LadderShape {
  std::size_t rungs = 0;
  std::size_t width = 0;
  std::size_t stride = 0;
  std::size_t questions = 0;
  std::size_t backward = 0;
};

/// How the inputs of one benchmark tier are shaped.
struct TierShape {
  std::string_view name;        ///< what the tier is called on the command line, "T0" to "T11"
  std::size_t subschemas;       ///< subschema lines
  std::size_t subschemaSize;    ///< names on each subschema line, all different; a last window
                                ///< may hold fewer
  std::size_t dependencyLines;  ///< dependency lines, each ended by a line feed
  std::size_t maxSide;          ///< each side holds 1 to `maxSide` names
  std::size_t attributes;       ///< different names in the whole file
  bool lostAttribute = false;   ///< the last dependency needs a name that no subschema holds
  std::optional<WindowShape> windows = std::nullopt;  ///< set for a fixed shape; else drawn
  std::optional<PartsShape> parts = std::nullopt;     ///< set for wide parts
  std::optional<LadderShape> ladder = std::nullopt;   ///< set for a ladder
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
