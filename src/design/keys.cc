#include "design/keys.h"

#include <algorithm>

namespace fdpreserve {
namespace {

/// How a test for a superkey ended.
enum class Test : std::uint8_t { kYes, kNo, kOverBudget };

Test superkeyTest(Closer& closer, const DependencySet& cover, const PlaceList& places,
                  WorkBudget& budget) {
  if (closeAttributes(closer, cover, places, kNoTarget, budget) == Closure::kOverBudget) {
    return Test::kOverBudget;
  }
  return closer.members.size() == cover.attributes ? Test::kYes : Test::kNo;
}

/// Drops from `places` each place without which `stillHolds(rest)` is still `Test::kYes`, one place
/// at a time; false when a test ran over budget.
template <typename StillHolds>
bool dropWhileItHolds(PlaceList& places, StillHolds stillHolds) {
  PlaceList without;
  for (std::size_t k = 0; k < places.size();) {
    without = places;
    without.erase(without.begin() + static_cast<std::ptrdiff_t>(k));
    const Test test = stillHolds(without);
    if (test == Test::kOverBudget) return false;
    if (test == Test::kYes) {
      places = without;
    } else {
      ++k;
    }
  }
  return true;
}

/// Drops from `places`, a superkey, each place the rest determine without: a key within it.
bool shrinkToKey(Closer& closer, const DependencySet& cover, PlaceList& places,
                 WorkBudget& budget) {
  return dropWhileItHolds(
      places, [&](const PlaceList& rest) { return superkeyTest(closer, cover, rest, budget); });
}

/// Whether `places` hold one of `keys`: a superkey is exactly a set that holds a key.
Test holdsKey(const std::vector<PlaceList>& keys, std::span<const AttributeId> places,
              WorkBudget& budget) {
  if (!spend(budget, keys.size() * (places.size() + 1))) return Test::kOverBudget;
  const bool holds = std::any_of(keys.begin(), keys.end(), [&](const PlaceList& key) {
    return std::includes(places.begin(), places.end(), key.begin(), key.end());
  });
  return holds ? Test::kYes : Test::kNo;
}

/// A dependency of the cover whose left side is not a superkey and, when `primes` is given,
/// whose right attribute is not prime; the first such, or `count` when there is none. With the
/// keys known a left side is tested against them, otherwise closed.
std::size_t firstBreaking(Closer& closer, const DependencySet& cover,
                          const std::vector<PlaceList>* keys,
                          const std::vector<std::uint8_t>* primes, WorkBudget& budget,
                          bool& overBudget) {
  PlaceList left;
  for (std::size_t i = 0; i < dependenciesIn(cover); ++i) {
    if (primes != nullptr && (*primes)[cover.rights[i]] != 0) continue;
    const auto side = leftOf(cover, i);
    left.assign(side.begin(), side.end());
    const Test test =
        keys != nullptr ? holdsKey(*keys, left, budget) : superkeyTest(closer, cover, left, budget);
    overBudget = test == Test::kOverBudget;
    if (test != Test::kYes) return i;
  }
  return dependenciesIn(cover);
}

/// Whether some attribute outside every key depends on part of a key; if so, sets `finding`'s
/// violation to a smallest such part and that attribute.
bool findPartialDependency(Closer& closer, const DependencySet& cover,
                           const std::vector<PlaceList>& keys,
                           const std::vector<std::uint8_t>& primes, FormFinding& finding,
                           WorkBudget& budget, bool& overBudget) {
  PlaceList part;
  for (const PlaceList& key : keys) {
    // The closure grows with its start, so the parts one short of the key are the ones to test.
    for (std::size_t k = 0; k < key.size(); ++k) {
      part = key;
      part.erase(part.begin() + static_cast<std::ptrdiff_t>(k));
      overBudget = closeAttributes(closer, cover, part, kNoTarget, budget) == Closure::kOverBudget;
      if (overBudget) return false;
      const auto found = std::find_if(closer.members.begin(), closer.members.end(),
                                      [&](AttributeId a) { return primes[a] == 0; });
      if (found == closer.members.end()) continue;
      const AttributeId target = *found;
      overBudget = !shrinkForTarget(closer, cover, part, target, budget);
      if (overBudget) return false;
      finding.violationLeft = part;
      finding.violationRight = target;
      return true;
    }
  }
  return false;
}

}  // namespace

bool shrinkForTarget(Closer& closer, const DependencySet& cover, PlaceList& places,
                     AttributeId target, WorkBudget& budget) {
  return dropWhileItHolds(places, [&](const PlaceList& rest) {
    const Closure closed = closeAttributes(closer, cover, rest, target, budget);
    if (closed == Closure::kOverBudget) return Test::kOverBudget;
    return closed == Closure::kTargetReached ? Test::kYes : Test::kNo;
  });
}

bool isSuperkey(Closer& closer, const DependencySet& cover, const PlaceList& places,
                WorkBudget& budget) {
  return superkeyTest(closer, cover, places, budget) == Test::kYes;
}

bool candidateKeys(Closer& closer, const DependencySet& cover, std::vector<PlaceList>& keys,
                   WorkBudget& budget) {
  keys.clear();
  // What no dependency gives is in every key: when that alone determines everything, it is the
  // one key there is.
  std::vector<std::uint8_t> given(cover.attributes, 0);
  for (const AttributeId right : cover.rights) given[right] = 1;
  PlaceList first;
  for (std::size_t p = 0; p < cover.attributes; ++p) {
    if (given[p] == 0) first.push_back(static_cast<AttributeId>(p));
  }
  const Test core = superkeyTest(closer, cover, first, budget);
  if (core == Test::kOverBudget) return false;
  if (core == Test::kYes) {
    keys.push_back(first);
    return true;
  }
  first.resize(cover.attributes);
  for (std::size_t p = 0; p < first.size(); ++p) first[p] = static_cast<AttributeId>(p);
  if (!shrinkToKey(closer, cover, first, budget)) return false;
  keys.push_back(first);
  PlaceList candidate;
  // Each key found is combined with each dependency: its left side and the key without the
  // right attribute determine everything, so a key lies within; a new one when no known one does.
  for (std::size_t k = 0; k < keys.size(); ++k) {
    for (std::size_t i = 0; i < dependenciesIn(cover); ++i) {
      const AttributeId right = cover.rights[i];
      if (!std::binary_search(keys[k].begin(), keys[k].end(), right)) continue;
      const auto left = leftOf(cover, i);
      candidate.clear();
      std::set_union(left.begin(), left.end(), keys[k].begin(), keys[k].end(),
                     std::back_inserter(candidate));
      candidate.erase(std::find(candidate.begin(), candidate.end(), right));
      if (!spend(budget, keys.size() * (candidate.size() + 1))) return false;
      const bool known = std::any_of(keys.begin(), keys.end(), [&](const PlaceList& key) {
        return std::includes(candidate.begin(), candidate.end(), key.begin(), key.end());
      });
      if (known) continue;
      if (!shrinkToKey(closer, cover, candidate, budget)) return false;
      keys.push_back(candidate);
    }
  }
  std::sort(keys.begin(), keys.end(), [](const PlaceList& a, const PlaceList& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  return budget.left > 0;
}

bool findNormalForm(Closer& closer, const DependencySet& cover, const std::vector<PlaceList>* keys,
                    FormFinding& finding, WorkBudget& budget) {
  finding = FormFinding{};
  bool overBudget = false;
  const std::size_t count = dependenciesIn(cover);
  const std::size_t notBoyceCodd = firstBreaking(closer, cover, keys, nullptr, budget, overBudget);
  if (overBudget) return false;
  if (notBoyceCodd == count) return true;
  if (keys == nullptr) return false;
  std::vector<std::uint8_t> primes(cover.attributes, 0);
  for (const PlaceList& key : *keys) {
    for (const AttributeId p : key) primes[p] = 1;
  }
  const std::size_t notThird = firstBreaking(closer, cover, keys, &primes, budget, overBudget);
  if (overBudget) return false;
  const std::size_t shown = notThird == count ? notBoyceCodd : notThird;
  const auto left = leftOf(cover, shown);
  finding.violationLeft.assign(left.begin(), left.end());
  finding.violationRight = cover.rights[shown];
  if (notThird == count) {
    finding.form = NormalForm::kThird;
    return true;
  }
  finding.form = NormalForm::kSecond;
  if (findPartialDependency(closer, cover, *keys, primes, finding, budget, overBudget)) {
    finding.form = NormalForm::kFirst;
  }
  return !overBudget;
}

}  // namespace fdpreserve
