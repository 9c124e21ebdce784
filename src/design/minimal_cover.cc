#include "design/minimal_cover.h"

#include <algorithm>
#include <bit>
#include <numeric>

#include "analysis/tables_in_use.h"
#include "design/keys.h"
#include "design/single_left_cover.h"

namespace fdpreserve {
namespace {

/// About log2 of `count`: what sorting costs a dependency.
std::uint64_t sortingWork(std::size_t count) {
  return static_cast<std::uint64_t>(std::bit_width(count)) + 1;
}

/// Dependencies whose left sides are single attributes sort by one word each, several times
/// faster than by their left sides.
constexpr std::uint64_t kWordSortSpeedUp = 4;

/// Drops the left attributes the rest of the set makes needless, each left side attribute by
/// attribute; every closure is under the set as given, which stays equivalent throughout.
bool reduceLeftSides(DependencySet& set, WorkBudget& budget) {
  if (!spend(budget, indexingWork(set))) return false;
  Closer closer;
  buildCloser(closer, set);
  DependencySet reduced{.attributes = set.attributes, .leftEnds = {}, .lefts = {}, .rights = {}};
  PlaceList left;
  for (std::size_t i = 0; i < dependenciesIn(set); ++i) {
    const auto given = leftOf(set, i);
    left.assign(given.begin(), given.end());
    // A lone left attribute is extraneous only when what nothing determines holds the right one.
    const bool tryEach = left.size() > 1 || !closer.emptyLeft.empty();
    if (tryEach && !shrinkForTarget(closer, set, left, set.rights[i], budget)) return false;
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

}  // namespace

void composePlaces(std::vector<RowIndex>& becomes, const std::vector<RowIndex>& then) {
  for (RowIndex& place : becomes) {
    if (place != kDropped) place = then[place];
  }
}

bool mergeRepeats(DependencySet& set, std::vector<RowIndex>& becomes, WorkBudget& budget) {
  const std::size_t count = dependenciesIn(set);
  const bool byWords = everyLeftSingle(set);
  const std::uint64_t sorting = count * sortingWork(count) / (byWords ? kWordSortSpeedUp : 1);
  if (!spend(budget, sorting + set.lefts.size())) return false;
  std::vector<RowIndex> order(count);
  if (byWords) {
    // Every left side one attribute, as when the rules fire alike: a word sorts each.
    std::vector<std::pair<std::uint64_t, RowIndex>> keyed(count);
    for (std::size_t i = 0; i < count; ++i) {
      keyed[i] = {std::uint64_t{set.rights[i]} << 32U | set.lefts[i], static_cast<RowIndex>(i)};
    }
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t k = 0; k < count; ++k) order[k] = keyed[k].second;
  } else {
    std::iota(order.begin(), order.end(), RowIndex{0});
    std::sort(order.begin(), order.end(), [&](RowIndex a, RowIndex b) {
      if (set.rights[a] != set.rights[b]) return set.rights[a] < set.rights[b];
      if (!sameLeft(set, a, b)) return leftBefore(set, a, b);
      return a < b;
    });
  }
  // Equal dependencies now stand together, the first in input order first: each group goes to it.
  std::vector<RowIndex> first(count);
  bool anyRepeat = false;
  for (std::size_t k = 0; k < count; ++k) {
    const bool sameAsPrevious = k > 0 && set.rights[order[k]] == set.rights[order[k - 1]] &&
                                sameLeft(set, order[k], order[k - 1]);
    first[order[k]] = sameAsPrevious ? first[order[k - 1]] : order[k];
    anyRepeat = anyRepeat || sameAsPrevious;
  }
  becomes.resize(count);
  if (!anyRepeat) {
    std::iota(becomes.begin(), becomes.end(), RowIndex{0});
    return true;
  }
  DependencySet merged{.attributes = set.attributes, .leftEnds = {}, .lefts = {}, .rights = {}};
  std::vector<RowIndex> placeOfFirst(count, kDropped);
  for (std::size_t i = 0; i < count; ++i) {
    if (first[i] == i) {
      placeOfFirst[i] = static_cast<RowIndex>(dependenciesIn(merged));
      addDependency(merged, leftOf(set, i), set.rights[i]);
    }
    becomes[i] = placeOfFirst[first[i]];
  }
  set = std::move(merged);
  return true;
}

std::uint64_t indexingWork(const DependencySet& set) {
  return 2 * (dependenciesIn(set) + set.lefts.size()) + set.attributes;
}

bool minimizeCover(DependencySet& set, std::vector<RowIndex>& becomes, WorkBudget& budget) {
  std::vector<RowIndex> step;
  if (!mergeRepeats(set, becomes, budget) || !reduceLeftSides(set, budget) ||
      !mergeRepeats(set, step, budget)) {
    return false;
  }
  composePlaces(becomes, step);
  if (!dropRedundant(set, step, budget)) return false;
  composePlaces(becomes, step);
  return budget.left > 0;
}

bool splitInput(TracedCover& cover, WorkBudget& budget) {
  cover = TracedCover{};
  cover.set.attributes = attributeIds();
  // About one dependency an entry, each left side about half the slots: a large input is read
  // without regrowing.
  const std::size_t slots = state.dependencies.sides.slots.size();
  cover.set.lefts.reserve(slots / 2);
  for (auto* perDependency : {&cover.set.leftEnds, &cover.from, &cover.fromEnds}) {
    perDependency->reserve(dependenciesInUse());
  }
  cover.set.rights.reserve(dependenciesInUse());
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

std::uint64_t inputWork(bool singleLeft) {
  const std::size_t slots = state.dependencies.sides.slots.size();
  return slots * (sortingWork(slots) / (singleLeft ? kWordSortSpeedUp : 1) + 4);
}

bool minimalCoverOfInput(TracedCover& cover, ReachSource* reach, WorkBudget& budget) {
  // Reading the input, sorting and indexing what it read: no use starting without that much.
  if (budget.left < inputWork(reach != nullptr)) return false;
  if (!splitInput(cover, budget)) return false;
  std::vector<RowIndex> becomes;
  const bool whole = everyLeftSingle(cover.set)
                         ? minimizeSingleLeftCover(cover.set, becomes, budget, reach)
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
