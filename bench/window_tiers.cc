#include "bench/window_tiers.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "bench/seeded_random.h"

namespace fdpreserve::bench {
namespace {

/// Ax->Ay as the pair x, y. A million names fit in 32 bits, and half the size keeps the million
/// steps of the long chain small.
using Dependency = std::pair<std::uint32_t, std::uint32_t>;

void appendName(std::string& out, std::size_t i) {
  out += 'A';
  out += std::to_string(i);
}

/// Every window's names on a line of its own, in the order the shape lists them.
void appendWindows(std::string& out, const TierShape& shape) {
  const std::size_t names = shape.attributes;
  const std::size_t stride = shape.subschemaSize - 1;
  // The last window starts before the last name, so that it adds at least one.
  const std::size_t count = (names - 2) / stride + 1;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t first = (shape.windows->lastFirst ? count - 1 - k : k) * stride;
    const std::size_t end = std::min(first + shape.subschemaSize, names);
    for (std::size_t i = first; i < end; ++i) {
      if (i > first) out += ',';
      appendName(out, i);
    }
    out += '\n';
  }
}

/// The steps Ai->Ai+1 in order, then the jumps, then, when the shape asks for it, all shuffled.
std::vector<Dependency> dependencies(const TierShape& shape, std::uint64_t seed) {
  const WindowShape& windows = *shape.windows;
  const auto last = static_cast<std::uint32_t>(shape.attributes - 1);
  std::vector<Dependency> drawn;
  if (last == 0) return drawn;  // a single name has nowhere to step or jump to
  drawn.reserve(last + windows.jumps);
  for (std::uint32_t i = 0; i < last; ++i) drawn.emplace_back(i, i + 1);
  Random random{seed};
  for (std::size_t j = 0; j < windows.jumps; ++j) {
    const auto from = static_cast<std::uint32_t>(randomBelow(random, last));
    const std::size_t ahead = last - from;
    const std::size_t span = windows.reach == 0 ? ahead : std::min(windows.reach, ahead);
    drawn.emplace_back(from, static_cast<std::uint32_t>(from + 1 + randomBelow(random, span)));
  }
  if (windows.shuffled) {
    for (std::size_t i = drawn.size(); i > 1; --i) {
      std::swap(drawn[i - 1], drawn[randomBelow(random, i)]);
    }
  }
  return drawn;
}

}  // namespace

std::string windowInput(const TierShape& shape, std::uint64_t seed, bool withDependencies) {
  std::string out;
  appendWindows(out, shape);
  if (withDependencies) out += '\n';
  for (const auto& [from, to] : dependencies(shape, seed)) {
    appendName(out, from);
    out += "->";
    appendName(out, to);
    out += '\n';
  }
  return out;
}

}  // namespace fdpreserve::bench
