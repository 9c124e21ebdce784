#include "bench/graph_tiers.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "bench/seeded_random.h"

// Subschemas too wide to have their reach worked out whole, over step graphs that are not one
// chain: every question that crosses them has to be answered inside them.

namespace fdpreserve::bench {
namespace {

/// A name as its rail's letter and its number.
struct Name {
  char rail;
  std::uint32_t number;
};

using Dependency = std::pair<Name, Name>;

void appendName(std::string& out, Name name) {
  out += name.rail;
  out += std::to_string(name.number);
}

void appendLine(std::string& out, const std::vector<Name>& names) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += ',';
    appendName(out, names[i]);
  }
  out += '\n';
}

/// The dependencies in an order drawn from the seed, after the subschema lines.
void appendShuffled(std::string& out, std::vector<Dependency> drawn, Random& random,
                    bool withDependencies) {
  if (withDependencies) out += '\n';
  for (std::size_t i = drawn.size(); i > 1; --i) {
    std::swap(drawn[i - 1], drawn[randomBelow(random, i)]);
  }
  for (const auto& [from, to] : drawn) {
    appendName(out, from);
    out += "->";
    appendName(out, to);
    out += '\n';
  }
}

/// Names `first` to `last` of rail A.
std::vector<Name> railSpan(std::size_t first, std::size_t last) {
  std::vector<Name> names;
  for (std::size_t i = first; i <= last; ++i) names.push_back({'A', static_cast<std::uint32_t>(i)});
  return names;
}

}  // namespace

std::string partsInput(const TierShape& shape, std::uint64_t seed, bool withDependencies) {
  const PartsShape& parts = *shape.parts;
  const std::size_t names = shape.attributes;
  const std::size_t stride = names / parts.parts;
  // Part p holds names first(p) to first(p + 1), the last part up to the last name.
  const auto first = [&](std::size_t p) { return p == parts.parts ? names - 1 : p * stride; };
  Random random{seed};
  std::string out;
  for (std::size_t p = 0; p < parts.parts; ++p) appendLine(out, railSpan(first(p), first(p + 1)));
  const auto name = [](std::size_t i) { return Name{'A', static_cast<std::uint32_t>(i)}; };
  std::vector<Dependency> drawn;
  for (std::size_t p = 0; p < parts.parts; ++p) {
    const std::size_t end = first(p + 1);
    for (std::size_t i = first(p); i < end; ++i) {
      // A shared name steps over the name after it, which nothing then reaches.
      const std::size_t skip = p > 0 && i == first(p) && end - i > 1 ? 1 : 0;
      const std::size_t span = std::min(parts.reach, end - i) - skip;
      for (std::size_t e = 0; e < parts.outDegree; ++e) {
        drawn.emplace_back(name(i), name(i + 1 + skip + randomBelow(random, span)));
      }
    }
  }
  // A single part has nothing to cross to.
  for (std::size_t c = 0; parts.parts > 1 && c < parts.crossings; ++c) {
    const std::size_t from = randomBelow(random, parts.parts - 1);
    const std::size_t to = from + 1 + randomBelow(random, parts.parts - 1 - from);
    // Each part holds at least two names, and its first is the last of the part before.
    const auto namesAfterFirst = [&](std::size_t p) {
      return std::max<std::size_t>(first(p + 1) - first(p), 1);
    };
    const std::size_t x = first(from) + randomBelow(random, namesAfterFirst(from));
    const std::size_t y = first(to) + 1 + (c == 0 ? 0 : randomBelow(random, namesAfterFirst(to)));
    drawn.emplace_back(name(x), name(y));
  }
  appendShuffled(out, std::move(drawn), random, withDependencies);
  return out;
}

std::string ladderInput(const TierShape& shape, std::uint64_t seed, bool withDependencies) {
  const LadderShape& ladder = *shape.ladder;
  const auto a = [](std::size_t i) { return Name{'A', static_cast<std::uint32_t>(i)}; };
  const auto b = [](std::size_t i) { return Name{'B', static_cast<std::uint32_t>(i)}; };
  std::string out;
  for (std::size_t start = 0;; start += ladder.stride) {
    const std::size_t end = std::min(start + ladder.width, ladder.rungs);
    std::vector<Name> window;
    for (std::size_t i = start; i < end; ++i) {
      window.push_back(a(i));
      window.push_back(b(i));
    }
    appendLine(out, window);
    if (end == ladder.rungs) break;
  }
  std::vector<Dependency> drawn;
  for (std::size_t i = 0; i < ladder.rungs; ++i) {
    drawn.emplace_back(a(i), b(i));
    if (i + 1 < ladder.rungs) {
      drawn.emplace_back(a(i), a(i + 1));
      drawn.emplace_back(b(i), b(i + 1));
    }
  }
  Random random{seed};
  const std::size_t span = ladder.rungs - ladder.width;
  for (std::size_t q = 0; q < ladder.questions + ladder.backward; ++q) {
    const std::size_t x = randomBelow(random, span);
    const std::size_t y = x + ladder.width + randomBelow(random, span - x);
    drawn.push_back(q < ladder.questions ? Dependency{a(x), b(y)} : Dependency{b(x), a(y)});
  }
  appendShuffled(out, std::move(drawn), random, withDependencies);
  return out;
}

}  // namespace fdpreserve::bench
