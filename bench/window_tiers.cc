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

/// The number of windows of the shape, broken ones included.
std::size_t windowCount(const TierShape& shape) {
  // The last window starts before the last name, so that it adds at least one.
  return (shape.attributes - 2) / (shape.subschemaSize - 1) + 1;
}

/// Every window's names on a line of its own, in the order the shape lists them; a window whose
/// first name starts a broken step is left out.
void appendWindows(std::string& out, const TierShape& shape, const std::vector<char>& broken) {
  const std::size_t names = shape.attributes;
  const std::size_t stride = shape.subschemaSize - 1;
  const std::size_t count = windowCount(shape);
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t first = (shape.windows->lastFirst ? count - 1 - k : k) * stride;
    if (shape.windows->brokenWindows && broken[first] != 0) continue;
    const std::size_t end = std::min(first + shape.subschemaSize, names);
    for (std::size_t i = first; i < end; ++i) {
      if (i > first) out += ',';
      appendName(out, i);
    }
    out += '\n';
  }
}

/// The jumps drawn from the seed, each landing 1 to `reach` names ahead (anywhere ahead for 0).
std::vector<Dependency> drawJumps(const TierShape& shape, Random& random) {
  const WindowShape& windows = *shape.windows;
  const auto last = static_cast<std::uint32_t>(shape.attributes - 1);
  std::vector<Dependency> jumps;
  jumps.reserve(windows.jumps);
  for (std::size_t j = 0; j < windows.jumps; ++j) {
    const auto from = static_cast<std::uint32_t>(randomBelow(random, last));
    const std::size_t ahead = last - from;
    const std::size_t span = windows.reach == 0 ? ahead : std::min(windows.reach, ahead);
    jumps.emplace_back(from, static_cast<std::uint32_t>(from + 1 + randomBelow(random, span)));
  }
  return jumps;
}

/// For each step Ai->Ai+1, 1 when it is broken. A step is broken only where some dependency
/// crosses it and no jump within one window does: a walk could go over the gap inside that window.
std::vector<char> drawBrokenSteps(const TierShape& shape, const std::vector<Dependency>& jumps,
                                  Random& random) {
  const WindowShape& windows = *shape.windows;
  const std::size_t last = shape.attributes - 1;
  std::vector<char> broken(last, 0);
  if (windows.brokenSteps == 0) return broken;
  // Differences of how many jumps cross each step, and how many of them within one window.
  std::vector<std::int64_t> crossing(last + 1, 0);
  std::vector<std::int64_t> inWindow(last + 1, 0);
  const std::size_t stride = shape.subschemaSize - 1;
  for (const auto& [from, to] : jumps) {
    ++crossing[from];
    --crossing[to];
    if (to <= from / stride * stride + stride) {
      ++inWindow[from];
      --inWindow[to];
    }
  }
  for (std::size_t i = 1; i < last; ++i) {
    crossing[i] += crossing[i - 1];
    inWindow[i] += inWindow[i - 1];
  }
  // The far dependency A0->An-1 crosses every step.
  const std::int64_t far = windows.brokenWindows ? 1 : 0;
  // Not the first step nor the last, so that every name stays in some window: from a place drawn
  // from the seed, the next step that may break. A shape too small for that breaks fewer.
  const std::size_t places = last - 2;
  for (std::size_t drawn = 0; drawn < windows.brokenSteps; ++drawn) {
    const std::size_t start = randomBelow(random, places);
    for (std::size_t tried = 0; tried < places; ++tried) {
      const std::size_t i = 1 + (start + tried) % places;
      if (broken[i] != 0 || crossing[i] + far == 0 || inWindow[i] != 0) continue;
      broken[i] = 1;
      break;
    }
  }
  return broken;
}

/// The steps Ai->Ai+1 in order but the broken ones, then the jumps, then, when the shape asks for
/// it, all shuffled; the far dependency last.
std::vector<Dependency> dependencies(const TierShape& shape, std::vector<Dependency> jumps,
                                     const std::vector<char>& broken, Random& random) {
  const WindowShape& windows = *shape.windows;
  const auto last = static_cast<std::uint32_t>(shape.attributes - 1);
  std::vector<Dependency> drawn;
  drawn.reserve(last + jumps.size() + 1);
  for (std::uint32_t i = 0; i < last; ++i) {
    if (broken[i] == 0) drawn.emplace_back(i, i + 1);
  }
  drawn.insert(drawn.end(), jumps.begin(), jumps.end());
  if (windows.shuffled) {
    for (std::size_t i = drawn.size(); i > 1; --i) {
      std::swap(drawn[i - 1], drawn[randomBelow(random, i)]);
    }
  }
  if (windows.brokenWindows) drawn.emplace_back(0, last);
  return drawn;
}

}  // namespace

std::string windowInput(const TierShape& shape, std::uint64_t seed, bool withDependencies) {
  Random random{seed};
  // A single name has nowhere to step or jump to.
  std::vector<Dependency> jumps;
  if (shape.attributes > 1) jumps = drawJumps(shape, random);
  const std::vector<char> broken = drawBrokenSteps(shape, jumps, random);
  std::string out;
  appendWindows(out, shape, broken);
  if (withDependencies) out += '\n';
  if (shape.attributes < 2) return out;
  for (const auto& [from, to] : dependencies(shape, std::move(jumps), broken, random)) {
    appendName(out, from);
    out += "->";
    appendName(out, to);
    out += '\n';
  }
  return out;
}

}  // namespace fdpreserve::bench
