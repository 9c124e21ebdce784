#include "design/attribute_elimination.h"

#include <bit>
#include <limits>

namespace fdpreserve {
namespace {

std::span<const std::uint64_t> leftBitsOf(const Resolution& resolution, std::size_t i) {
  return std::span<const std::uint64_t>(resolution.leftBits)
      .subspan(i * resolution.words, resolution.words);
}

bool within(std::span<const std::uint64_t> part, std::span<const std::uint64_t> whole) {
  for (std::size_t w = 0; w < part.size(); ++w) {
    if ((part[w] & ~whole[w]) != 0) return false;
  }
  return true;
}

bool holdsBit(std::span<const std::uint64_t> bits, std::size_t a) {
  return ((bits[a / 64] >> (a % 64)) & 1U) != 0;
}

void kill(Resolution& resolution, RowIndex i) {
  if (resolution.alive[i] == 0) return;
  resolution.alive[i] = 0;
  --resolution.givingAlive[resolution.rights[i]];
  const auto left = leftBitsOf(resolution, i);
  for (std::size_t w = 0; w < left.size(); ++w) {
    for (std::uint64_t bits = left[w]; bits != 0; bits &= bits - 1) {
      --resolution.needingAlive[w * 64 + static_cast<std::size_t>(std::countr_zero(bits))];
    }
  }
}

/// The alive dependencies of `list`, which keeps only those.
std::vector<RowIndex> aliveOf(const Resolution& resolution, std::vector<RowIndex>& list) {
  std::erase_if(list, [&](RowIndex i) { return resolution.alive[i] == 0; });
  return list;
}

/// The attribute from `kept` on, not yet eliminated, that makes the fewest combinations.
std::size_t cheapestToEliminate(const Resolution& resolution, std::size_t kept,
                                const std::vector<std::uint8_t>& eliminated) {
  std::size_t best = resolution.attributes;
  std::size_t bestCost = std::numeric_limits<std::size_t>::max();
  for (std::size_t b = kept; b < resolution.attributes; ++b) {
    if (eliminated[b] != 0) continue;
    const std::size_t cost = resolution.givingAlive[b] * resolution.needingAlive[b];
    if (cost < bestCost) {
      best = b;
      bestCost = cost;
    }
  }
  return best;
}

}  // namespace

void startResolution(Resolution& resolution, std::size_t attributes) {
  resolution = Resolution{};
  resolution.attributes = attributes;
  resolution.words = (attributes + 63) / 64;
  resolution.giving.resize(attributes);
  resolution.needing.resize(attributes);
  resolution.givingAlive.assign(attributes, 0);
  resolution.needingAlive.assign(attributes, 0);
}

void addResolvent(Resolution& resolution, std::span<const std::uint64_t> left, AttributeId right,
                  WorkBudget& budget) {
  if (holdsBit(left, right)) return;  // holds always
  std::vector<RowIndex>& same = resolution.giving[right];
  if (!spend(budget, (same.size() + 1) * resolution.words)) return;
  // The left sides giving one attribute never hold one another, so a smaller one and a larger
  // one cannot both be there.
  for (const RowIndex q : same) {
    if (resolution.alive[q] == 0) continue;
    const auto other = leftBitsOf(resolution, q);
    if (within(other, left)) return;
    if (within(left, other)) kill(resolution, q);
  }
  std::erase_if(same, [&](RowIndex q) { return resolution.alive[q] == 0; });
  const auto i = static_cast<RowIndex>(resolution.rights.size());
  resolution.leftBits.insert(resolution.leftBits.end(), left.begin(), left.end());
  resolution.rights.push_back(right);
  resolution.alive.push_back(1);
  same.push_back(i);
  ++resolution.givingAlive[right];
  for (std::size_t w = 0; w < left.size(); ++w) {
    for (std::uint64_t bits = left[w]; bits != 0; bits &= bits - 1) {
      const std::size_t a = w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
      resolution.needing[a].push_back(i);
      ++resolution.needingAlive[a];
    }
  }
}

bool eliminateAttributes(Resolution& resolution, std::size_t kept, DependencySet& remaining,
                         WorkBudget& budget) {
  std::vector<std::uint8_t> eliminated(resolution.attributes, 0);
  std::vector<std::uint64_t> combined(resolution.words);
  for (std::size_t round = kept; round < resolution.attributes; ++round) {
    if (!spend(budget, resolution.attributes)) return false;
    const std::size_t b = cheapestToEliminate(resolution, kept, eliminated);
    eliminated[b] = 1;
    const std::vector<RowIndex> givers = aliveOf(resolution, resolution.giving[b]);
    const std::vector<RowIndex> needers = aliveOf(resolution, resolution.needing[b]);
    for (const RowIndex i : givers) kill(resolution, i);
    for (const RowIndex i : needers) kill(resolution, i);
    resolution.giving[b].clear();
    resolution.needing[b].clear();
    for (const RowIndex g : givers) {
      for (const RowIndex n : needers) {
        const auto giverLeft = leftBitsOf(resolution, g);
        const auto neederLeft = leftBitsOf(resolution, n);
        for (std::size_t w = 0; w < resolution.words; ++w) {
          combined[w] = giverLeft[w] | neederLeft[w];
        }
        combined[b / 64] &= ~(std::uint64_t{1} << (b % 64));
        addResolvent(resolution, combined, resolution.rights[n], budget);
        if (budget.left == 0) return false;
      }
    }
  }
  remaining = DependencySet{.attributes = kept, .leftEnds = {}, .lefts = {}, .rights = {}};
  std::vector<AttributeId> left;
  for (std::size_t i = 0; i < resolution.rights.size(); ++i) {
    if (resolution.alive[i] == 0) continue;
    left.clear();
    const auto bits = leftBitsOf(resolution, i);
    for (std::size_t w = 0; w < bits.size(); ++w) {
      for (std::uint64_t word = bits[w]; word != 0; word &= word - 1) {
        left.push_back(
            static_cast<AttributeId>(w * 64 + static_cast<std::size_t>(std::countr_zero(word))));
      }
    }
    addDependency(remaining, left, resolution.rights[i]);
  }
  return true;
}

}  // namespace fdpreserve
