#include "design/minimal_cover.h"

#include <algorithm>
#include <bit>
#include <numeric>

#include "analysis/tables_in_use.h"
#include "design/single_left_cover.h"

namespace fdpreserve {
namespace {

/// About log2 of `count`: what sorting costs a dependency.
std::uint64_t sortingWork(std::size_t count) {
  return static_cast<std::uint64_t>(std::bit_width(count)) + 1;
}

/// Drops the left attributes the rest of the set makes needless, each left side attribute by
/// attribute; every closure is under the set as given, which stays equivalent throughout.
bool reduceLeftSides(DependencySet& set, WorkBudget& budget) {
  if (!spend(budget, indexingWork(set))) return false;
  Closer closer;
  buildCloser(closer, set);
  DependencySet reduced{.attributes = set.attributes, .leftEnds = {}, .lefts = {}, .rights = {}};
  std::vector<AttributeId> left;
  std::vector<AttributeId> without;
  for (std::size_t i = 0; i < dependenciesIn(set); ++i) {
    const auto given = leftOf(set, i);
    left.assign(given.begin(), given.end());
    // A lone left attribute is extraneous only when what nothing determines holds the right one.
    const bool tryEach = left.size() > 1 || !closer.emptyLeft.empty();
    for (std::size_t k = 0; tryEach && k < left.size();) {
      without.assign(left.begin(), left.end());
      without.erase(without.begin() + static_cast<std::ptrdiff_t>(k));
      const Closure closed = closeAttributes(closer, set, without, set.rights[i], budget);
      if (closed == Closure::kOverBudget) return false;
      if (closed == Closure::kTargetReached) {
        left = without;
      } else {
        ++k;
      }
    }
    addDependency(reduced, left, set.rights[i]);
  }
  set = std::move(reduced);
  return true;
}

/// Drops, in order, each dependency that those still kept imply.
bool dropRedundant(DependencySet& set, std::vector<RowIndex>& becomes, WorkBudget& budget) {
  if (!spend(budget, indexingWork(set))) return false;
  Closer closer;
  buildCloser(closer, set);
  const std::size_t count = dependenciesIn(set);
  // A right attribute that one dependency alone gives cannot come any other way.
  std::vector<RowIndex> givers(set.attributes, 0);
  for (const AttributeId y : set.rights) ++givers[y];
  for (std::size_t i = 0; i < count; ++i) {
    const AttributeId y = set.rights[i];
    if (givers[y] == 1) continue;
    closer.off[i] = 1;
    const Closure closed = closeAttributes(closer, set, leftOf(set, i), y, budget);
    if (closed == Closure::kOverBudget) return false;
    if (closed == Closure::kTargetReached) {
      --givers[y];
    } else {
      closer.off[i] = 0;
    }
  }
  DependencySet kept{.attributes = set.attributes, .leftEnds = {}, .lefts = {}, .rights = {}};
  becomes.assign(count, kDropped);
  for (std::size_t i = 0; i < count; ++i) {
    if (closer.off[i] != 0) continue;
    becomes[i] = static_cast<RowIndex>(dependenciesIn(kept));
    addDependency(kept, leftOf(set, i), set.rights[i]);
  }
  set = std::move(kept);
  return true;
}

/// `becomes` followed by `then`.
void compose(std::vector<RowIndex>& becomes, const std::vector<RowIndex>& then) {
  for (RowIndex& place : becomes) {
    if (place != kDropped) place = then[place];
  }
}

}  // namespace

void mergeRepeats(DependencySet& set, std::vector<RowIndex>& becomes, WorkBudget& budget) {
  const std::size_t count = dependenciesIn(set);
  std::vector<RowIndex> order(count);
  std::iota(order.begin(), order.end(), RowIndex{0});
  const auto sameOrBefore = [&](RowIndex a, RowIndex b) {
    if (set.rights[a] != set.rights[b]) return set.rights[a] < set.rights[b];
    const auto left = leftOf(set, a);
    const auto other = leftOf(set, b);
    if (!std::equal(left.begin(), left.end(), other.begin(), other.end())) {
      return std::lexicographical_compare(left.begin(), left.end(), other.begin(), other.end());
    }
    return a < b;
  };
  spend(budget, count * sortingWork(count) + set.lefts.size());
  std::sort(order.begin(), order.end(), sameOrBefore);
  // Each group of equal dependencies goes to its first member, by input order.
  std::vector<RowIndex> first(count);
  for (std::size_t k = 0; k < count; ++k) {
    const bool sameAsPrevious =
        k > 0 && set.rights[order[k]] == set.rights[order[k - 1]] &&
        std::ranges::equal(leftOf(set, order[k]), leftOf(set, order[k - 1]));
    first[order[k]] = sameAsPrevious ? first[order[k - 1]] : order[k];
  }
  DependencySet merged{.attributes = set.attributes, .leftEnds = {}, .lefts = {}, .rights = {}};
  std::vector<RowIndex> placeOfFirst(count, kDropped);
  becomes.assign(count, kDropped);
  for (std::size_t i = 0; i < count; ++i) {
    if (first[i] == i) {
      placeOfFirst[i] = static_cast<RowIndex>(dependenciesIn(merged));
      addDependency(merged, leftOf(set, i), set.rights[i]);
    }
    becomes[i] = placeOfFirst[first[i]];
  }
  set = std::move(merged);
}

std::uint64_t indexingWork(const DependencySet& set) {
  return 2 * (dependenciesIn(set) + set.lefts.size()) + set.attributes;
}

bool minimizeCover(DependencySet& set, std::vector<RowIndex>& becomes, WorkBudget& budget) {
  std::vector<RowIndex> step;
  mergeRepeats(set, becomes, budget);
  if (!reduceLeftSides(set, budget)) return false;
  mergeRepeats(set, step, budget);
  compose(becomes, step);
  if (!dropRedundant(set, step, budget)) return false;
  compose(becomes, step);
  return budget.left > 0;
}

bool splitInput(TracedCover& cover, WorkBudget& budget) {
  cover = TracedCover{};
  cover.set.attributes = attributeIds();
  std::vector<AttributeId> left;
  std::vector<AttributeId> right;
  bool within = true;
  forEachDependency([&](std::size_t d, SlotRow leftRow, SlotRow rightRow) {
    within = spend(budget, leftRow.size() + rightRow.size() + 1);
    left.assign(leftRow.begin(), leftRow.end());
    std::sort(left.begin(), left.end());
    left.erase(std::unique(left.begin(), left.end()), left.end());
    right.assign(rightRow.begin(), rightRow.end());
    std::sort(right.begin(), right.end());
    right.erase(std::unique(right.begin(), right.end()), right.end());
    for (const AttributeId y : right) {
      if (std::binary_search(left.begin(), left.end(), y)) continue;
      addDependency(cover.set, left, y);
      cover.from.push_back(d);
      cover.fromEnds.push_back(cover.from.size());
    }
    return within;
  });
  return within;
}

bool minimalCoverOfInput(TracedCover& cover, WorkBudget& budget) {
  // Reading the input costs a unit a slot, and what follows several: no use starting without.
  if (budget.left < 4 * state.dependencies.sides.slots.size()) return false;
  if (!splitInput(cover, budget)) return false;
  std::vector<RowIndex> becomes;
  const bool whole = everyLeftSingle(cover.set)
                         ? minimizeSingleLeftCover(cover.set, becomes, budget)
                         : minimizeCover(cover.set, becomes, budget);
  if (!whole) return false;
  // Each piece came from one entry, pieces in entry order: each entry joins the list of what its
  // piece became, once.
  std::vector<std::size_t> ends(dependenciesIn(cover.set) + 1, 0);
  for (const RowIndex place : becomes) {
    if (place != kDropped) ++ends[place + 1];
  }
  for (std::size_t i = 1; i < ends.size(); ++i) ends[i] += ends[i - 1];
  std::vector<std::size_t> from(ends.back());
  std::vector<std::size_t> next(ends.begin(), ends.end() - 1);
  for (std::size_t piece = 0; piece < becomes.size(); ++piece) {
    const RowIndex place = becomes[piece];
    if (place == kDropped) continue;
    const std::size_t entry = cover.from[piece];
    if (next[place] == ends[place] || from[next[place] - 1] != entry) from[next[place]++] = entry;
  }
  cover.from.clear();
  cover.fromEnds.clear();
  for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
    cover.from.insert(cover.from.end(), from.begin() + static_cast<std::ptrdiff_t>(ends[i]),
                      from.begin() + static_cast<std::ptrdiff_t>(next[i]));
    cover.fromEnds.push_back(cover.from.size());
  }
  return true;
}

}  // namespace fdpreserve
