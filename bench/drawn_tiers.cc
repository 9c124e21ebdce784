#include "bench/drawn_tiers.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "bench/seeded_random.h"

// What the dependencies look like, and why. A verdict that the first dependency decides would
// measure the reader and nothing else, so every drawn dependency is preserved by construction and
// the tool has to examine all of them:
// - most take both sides, disjoint, from one subschema: the subschema's own closure reaches the
//   right side from the left one;
// - a quarter of the draws make a bridge of three lines, L->b, b->R and L->R, with L drawn from
//   one subschema, R from another and b a name the two share: L->R is preserved by a walk over
//   both subschemas, and need not be within either alone;
// - when the tier has more names than its subschemas hold (the bulk tier), the names outside every
//   subschema join left sides only, beside a name of the subschema, where they change nothing;
// - a tier with a lost attribute (T1) ends with one dependency on a name that no subschema holds,
//   which can never be preserved: its verdict is negative, but only the last dependency decides it.
// Every drawn tier but T1 is therefore preserving.

namespace fdpreserve::bench {
namespace {

using Attribute = std::uint32_t;
using Names = std::vector<Attribute>;

/// A side size from 1 to `maxSide`.
std::size_t randomSide(Random& random, std::size_t maxSide) {
  return 1 + randomBelow(random, maxSide);
}

/// `count` different names of `pool`, in random order; `pool` is left shuffled in part.
Names pickDistinct(Names pool, std::size_t count, Random& random) {
  for (std::size_t i = 0; i < count; ++i) {
    std::swap(pool[i], pool[i + randomBelow(random, pool.size() - i)]);
  }
  pool.resize(count);
  return pool;
}

/// `names` without `dropped`.
Names without(const Names& names, Attribute dropped) {
  Names kept;
  for (const Attribute name : names) {
    if (name != dropped) kept.push_back(name);
  }
  return kept;
}

bool holds(const Names& names, Attribute name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

void appendNames(std::string& out, const Names& names) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += ',';
    out += 'a';
    out += std::to_string(names[i]);
  }
}

void appendDependency(std::string& out, const Names& left, const Names& right) {
  appendNames(out, left);
  out += "->";
  appendNames(out, right);
  out += '\n';
}

/// The subschemas, and for each name the subschemas that hold it.
struct Decomposition {
  std::vector<Names> rows;
  std::vector<std::vector<std::size_t>> rowsHolding;
};

/// Rows of different names drawn from names 0 to `held` - 1, each of them in at least one row.
Decomposition drawDecomposition(const TierShape& shape, std::size_t held, Random& random) {
  Names everyName(held);
  std::iota(everyName.begin(), everyName.end(), Attribute{0});
  const Names firstUse = pickDistinct(everyName, held, random);
  Decomposition decomposition;
  decomposition.rowsHolding.resize(held);
  for (std::size_t r = 0; r < shape.subschemas; ++r) {
    Names row;
    for (std::size_t s = 0; s < shape.subschemaSize; ++s) {
      const std::size_t slot = r * shape.subschemaSize + s;
      Attribute name = 0;
      if (slot < held) {
        name = firstUse[slot];
      } else {
        do {
          name = static_cast<Attribute>(randomBelow(random, held));
        } while (holds(row, name));
      }
      row.push_back(name);
      decomposition.rowsHolding[name].push_back(r);
    }
    decomposition.rows.push_back(std::move(row));
  }
  return decomposition;
}

/// Names that no subschema holds; the first uses go through every one of them in turn.
struct OutsideNames {
  Attribute first = 0;
  std::size_t count = 0;
  std::size_t used = 0;
};

/// Appends a dependency with both sides from subschema `row`, maybe with an outside name on its
/// left. Always preserved.
void appendWithinRow(std::string& out, const TierShape& shape, const Names& row,
                     OutsideNames& outside, Random& random) {
  const std::size_t leftSize = randomSide(random, shape.maxSide);
  const std::size_t rightSize = randomSide(random, shape.maxSide);
  Names left = pickDistinct(row, leftSize + rightSize, random);
  const Names right(left.begin() + static_cast<std::ptrdiff_t>(leftSize), left.end());
  left.resize(leftSize);
  if (outside.count > 0 && (outside.used < outside.count || randomBelow(random, 8) == 0)) {
    const std::size_t pick =
        outside.used < outside.count ? outside.used++ : randomBelow(random, outside.count);
    const auto name = static_cast<Attribute>(outside.first + pick);
    // The left side keeps at least one name of the row, so the dependency stays preserved.
    if (left.size() < shape.maxSide) {
      left.push_back(name);
    } else {
      left.back() = name;
    }
  }
  appendDependency(out, left, right);
}

/// Appends L->b, b->R and L->R across two subschemas that share b, and returns true; false, with
/// nothing appended, when the name drawn in row `r` is held by no other row.
bool appendBridge(std::string& out, const TierShape& shape, const Decomposition& decomposition,
                  std::size_t r, Random& random) {
  const Names& row = decomposition.rows[r];
  const Attribute shared = row[randomBelow(random, row.size())];
  const std::vector<std::size_t>& holders = decomposition.rowsHolding[shared];
  if (holders.size() < 2) return false;
  std::size_t other = r;
  while (other == r) other = holders[randomBelow(random, holders.size())];
  const Names left = pickDistinct(without(row, shared), randomSide(random, shape.maxSide), random);
  const Names right = pickDistinct(without(decomposition.rows[other], shared),
                                   randomSide(random, shape.maxSide), random);
  appendDependency(out, left, right);
  appendDependency(out, left, Names{shared});
  appendDependency(out, Names{shared}, right);
  return true;
}

}  // namespace

/// The subschemas and dependencies of a drawn tier.
std::string drawnInput(const TierShape& shape, std::uint64_t seed, bool withDependencies) {
  Random random{seed};
  const std::size_t lost = shape.lostAttribute ? 1 : 0;
  const std::size_t coverable = shape.attributes - lost;
  // A quarter of the slots repeat names, so subschemas overlap and bridges find partners.
  const std::size_t slots = shape.subschemas * shape.subschemaSize;
  const std::size_t held = std::min(coverable, slots - slots / 4);
  const Decomposition decomposition = drawDecomposition(shape, held, random);

  std::string out;
  for (const Names& row : decomposition.rows) {
    appendNames(out, row);
    out += '\n';
  }
  if (withDependencies) out += '\n';

  OutsideNames outside{.first = static_cast<Attribute>(held), .count = coverable - held};
  const std::size_t drawn = shape.dependencyLines - lost;
  std::size_t lines = 0;
  while (lines < drawn) {
    const std::size_t r = randomBelow(random, decomposition.rows.size());
    if (drawn - lines >= 3 && randomBelow(random, 4) == 0 &&
        appendBridge(out, shape, decomposition, r, random)) {
      lines += 3;
      continue;
    }
    appendWithinRow(out, shape, decomposition.rows[r], outside, random);
    ++lines;
  }
  if (shape.lostAttribute) {
    appendDependency(out, Names{decomposition.rows.front().front()},
                     Names{static_cast<Attribute>(coverable)});
  }
  return out;
}

}  // namespace fdpreserve::bench
