#include "design/minimal_cover.h"

#include <algorithm>
#include <numeric>

#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

/// Merges dependencies with the same sides into the first of them, keeping the order of first
/// appearance; `becomes` maps each old dependency to its new place.
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
  std::sort(order.begin(), order.end(), sameOrBefore);
  spend(budget, count * 8 + set.lefts.size());
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

/// Drops the left attributes the rest of the set makes needless, each left side attribute by
/// attribute; every closure is under the set as given, which stays equivalent throughout.
bool reduceLeftSides(DependencySet& set, WorkBudget& budget) {
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
  if (!splitInput(cover, budget)) return false;
  std::vector<RowIndex> becomes;
  if (!minimizeCover(cover.set, becomes, budget)) return false;
  // Each piece came from one entry, in entry order: its entry joins the list of what it became.
  std::vector<std::vector<std::size_t>> entries(dependenciesIn(cover.set));
  for (std::size_t piece = 0; piece < becomes.size(); ++piece) {
    if (becomes[piece] == kDropped) continue;
    auto& list = entries[becomes[piece]];
    if (list.empty() || list.back() != cover.from[piece]) list.push_back(cover.from[piece]);
  }
  cover.from.clear();
  cover.fromEnds.clear();
  for (const auto& list : entries) {
    cover.from.insert(cover.from.end(), list.begin(), list.end());
    cover.fromEnds.push_back(cover.from.size());
  }
  return true;
}

}  // namespace fdpreserve
