#include "design/projection.h"

#include <algorithm>
#include <numeric>

#include "design/minimal_cover.h"

namespace fdpreserve {
namespace {

/// Gives attribute `a` the next number, once.
void number(ProjectionSource& source, AttributeId a) {
  if (source.placeMark[a] == source.run) return;
  source.placeMark[a] = source.run;
  source.place[a] = static_cast<AttributeId>(source.numbered.size());
  source.numbered.push_back(a);
}

/// Marks the dependencies fired from the subschema that may lead into it: those that give one of
/// its attributes, or an attribute on the left of one that does, and so on. Numbers the
/// attributes outside the subschema they need after those of the subschema.
bool markUseful(ProjectionSource& source, WorkBudget& budget) {
  const RowIndex run = source.run;
  source.useful.clear();
  // `numbered` is the queue: every attribute numbered is one the subschema may need.
  for (std::size_t next = 0; next < source.numbered.size(); ++next) {
    const auto givers = listOf(source.giving, source.numbered[next]);
    if (!spend(budget, givers.size() + 1)) return false;
    for (const RowIndex i : givers) {
      if (source.firedMark[i] != run || source.usefulMark[i] == run) continue;
      source.usefulMark[i] = run;
      source.useful.push_back(i);
      for (const AttributeId a : leftOf(source.set, i)) number(source, a);
    }
  }
  return true;
}

}  // namespace

void prepareProjectionSource(ProjectionSource& source, DependencySet set) {
  source.set = std::move(set);
  buildCloser(source.closer, source.set);
  const std::size_t count = dependenciesIn(source.set);
  buildAttributeLists(
      source.giving, source.set.attributes, count,
      [&](std::size_t i) { return std::span<const AttributeId>(&source.set.rights[i], 1); },
      nullptr);
  source.run = 0;
  source.firedMark.assign(count, 0);
  source.usefulMark.assign(count, 0);
  source.placeMark.assign(source.set.attributes, 0);
  source.place.assign(source.set.attributes, 0);
}

void distinctAttributes(std::span<const AttributeId> row, std::vector<AttributeId>& distinct) {
  distinct.clear();
  constexpr std::size_t kComparedPairwise = 32;
  if (row.size() <= kComparedPairwise) {
    for (const AttributeId a : row) {
      if (std::find(distinct.begin(), distinct.end(), a) == distinct.end()) distinct.push_back(a);
    }
    return;
  }
  // Sorted places find the repeats of a wide row without comparing every pair.
  std::vector<std::size_t> places(row.size());
  std::iota(places.begin(), places.end(), std::size_t{0});
  std::stable_sort(places.begin(), places.end(),
                   [&](std::size_t a, std::size_t b) { return row[a] < row[b]; });
  std::vector<std::uint8_t> repeat(row.size(), 0);
  for (std::size_t k = 1; k < places.size(); ++k) {
    if (row[places[k]] == row[places[k - 1]]) repeat[places[k]] = 1;
  }
  for (std::size_t p = 0; p < row.size(); ++p) {
    if (repeat[p] == 0) distinct.push_back(row[p]);
  }
}

bool projectTextbook(ProjectionSource& source, std::span<const AttributeId> attributes,
                     DependencySet& projected, WorkBudget& budget) {
  // What the whole subschema reaches bounds what any part of it reaches: a dependency that does
  // not fire from all of it fires from no part of it.
  if (closeAttributes(source.closer, source.set, attributes, kNoTarget, budget) ==
      Closure::kOverBudget) {
    return false;
  }
  const RowIndex run =
      nextMark(source.run, {&source.firedMark, &source.usefulMark, &source.placeMark});
  for (const RowIndex i : source.closer.fired) source.firedMark[i] = run;
  source.numbered.clear();
  for (const AttributeId a : attributes) number(source, a);
  const std::size_t kept = attributes.size();
  if (!markUseful(source, budget)) return false;
  Resolution& resolution = source.resolution;
  startResolution(resolution, source.numbered.size());
  std::vector<std::uint64_t> left(resolution.words);
  for (const RowIndex i : source.useful) {
    std::fill(left.begin(), left.end(), 0);
    for (const AttributeId a : leftOf(source.set, i)) {
      const AttributeId p = source.place[a];
      left[p / 64] |= std::uint64_t{1} << (p % 64);
    }
    addResolvent(resolution, left, source.place[source.set.rights[i]], budget);
    if (budget.left == 0) return false;
  }
  if (!eliminateAttributes(resolution, kept, projected, budget)) return false;
  std::vector<RowIndex> becomes;
  return minimizeCover(projected, becomes, budget);
}

}  // namespace fdpreserve
