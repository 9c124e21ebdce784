#include "support/reference_design.h"

#include <algorithm>
#include <bit>

#include "model/analysis_state.h"

namespace fdpreserve::testing {
namespace {

std::vector<AttributeId> beforeFreeSlot(SlotRow row) {
  std::vector<AttributeId> attributes;
  for (const AttributeId a : row) {
    if (a == kFreeSlot) break;
    attributes.push_back(a);
  }
  return attributes;
}

bool fires(const LiteralDependency& dependency, const std::vector<bool>& in, LiteralRule rule) {
  const auto isIn = [&](AttributeId a) { return in[a]; };
  if (rule == LiteralRule::kAllLeft) {
    return std::all_of(dependency.left.begin(), dependency.left.end(), isIn);
  }
  return std::any_of(dependency.left.begin(), dependency.left.end(), isIn);
}

bool contains(Subset whole, Subset part) {
  return (whole & part) == part;
}

bool isSuperkey(const SubsetClosures& closures, Subset subset) {
  const Subset everything = (Subset{1} << closures.attributes.size()) - 1;
  return closures.closureOf[subset] == everything;
}

}  // namespace

std::vector<LiteralDependency> literalDependencies() {
  std::vector<LiteralDependency> dependencies;
  for (std::int64_t d = 0; d < state.dependencyCount; ++d) {
    const auto entry = static_cast<std::size_t>(d);
    dependencies.push_back({beforeFreeSlot(leftSide(state.dependencies, entry)),
                            beforeFreeSlot(rightSide(state.dependencies, entry))});
  }
  return dependencies;
}

std::vector<bool> literalClosure(const std::vector<LiteralDependency>& dependencies,
                                 std::span<const AttributeId> start, LiteralRule rule) {
  std::vector<bool> in(nameCount(state.attributeNames), false);
  for (const AttributeId a : start) in[a] = true;
  for (bool grew = true; grew;) {
    grew = false;
    for (const LiteralDependency& dependency : dependencies) {
      if (!fires(dependency, in, rule)) continue;
      for (const AttributeId a : dependency.right) {
        if (!in[a]) in[a] = grew = true;
      }
    }
  }
  return in;
}

SubsetClosures closuresOfEverySubset(const std::vector<AttributeId>& attributes,
                                     const std::vector<LiteralDependency>& dependencies,
                                     LiteralRule rule) {
  SubsetClosures closures{.attributes = attributes, .closureOf = {}, .keys = {}, .prime = 0};
  const Subset count = Subset{1} << attributes.size();
  for (Subset subset = 0; subset < count; ++subset) {
    std::vector<AttributeId> start;
    for (std::size_t p = 0; p < attributes.size(); ++p) {
      if (((subset >> p) & 1U) != 0) start.push_back(attributes[p]);
    }
    const std::vector<bool> in = literalClosure(dependencies, start, rule);
    Subset closure = 0;
    for (std::size_t p = 0; p < attributes.size(); ++p) {
      if (in[attributes[p]]) closure |= Subset{1} << p;
    }
    closures.closureOf.push_back(closure);
  }
  closures.keys = keysOfEverySubset(closures);
  for (const Subset key : closures.keys) closures.prime |= key;
  return closures;
}

Subset closureOverPlaces(const std::vector<Subset>& lefts, const std::vector<unsigned>& rights,
                         Subset subset) {
  for (bool grew = true; grew;) {
    grew = false;
    for (std::size_t i = 0; i < lefts.size(); ++i) {
      const Subset right = Subset{1} << rights[i];
      if (contains(subset, lefts[i]) && !contains(subset, right)) {
        subset |= right;
        grew = true;
      }
    }
  }
  return subset;
}

std::vector<Subset> keysOfEverySubset(const SubsetClosures& closures) {
  std::vector<Subset> keys;
  for (Subset subset = 0; subset < closures.closureOf.size(); ++subset) {
    if (!isSuperkey(closures, subset)) continue;
    bool minimal = true;
    for (Subset rest = subset; rest != 0; rest &= rest - 1) {
      minimal = minimal && !isSuperkey(closures, subset & ~(rest & (~rest + 1)));
    }
    if (minimal) keys.push_back(subset);
  }
  return keys;
}

bool breaksFormAbove(const SubsetClosures& closures, LiteralForm form, Subset left,
                     unsigned right) {
  const Subset rightBit = Subset{1} << right;
  if (!contains(closures.closureOf[left], rightBit) || contains(left, rightBit)) return false;
  const bool rightPrime = contains(closures.prime, rightBit);
  switch (form) {
    case LiteralForm::kThird:
      return !isSuperkey(closures, left);
    case LiteralForm::kSecond:
      return !isSuperkey(closures, left) && !rightPrime;
    case LiteralForm::kFirst: {
      const bool partOfKey =
          std::any_of(closures.keys.begin(), closures.keys.end(),
                      [&](Subset key) { return contains(key, left) && key != left; });
      return partOfKey && !rightPrime;
    }
    case LiteralForm::kBoyceCodd:
      break;
  }
  return false;
}

LiteralForm normalFormOfEverySubset(const SubsetClosures& closures) {
  const auto places = static_cast<unsigned>(closures.attributes.size());
  bool boyceCodd = true;
  bool third = true;
  bool second = true;
  for (Subset left = 0; left < closures.closureOf.size(); ++left) {
    for (unsigned right = 0; right < places; ++right) {
      boyceCodd = boyceCodd && !breaksFormAbove(closures, LiteralForm::kThird, left, right);
      third = third && !breaksFormAbove(closures, LiteralForm::kSecond, left, right);
      second = second && !breaksFormAbove(closures, LiteralForm::kFirst, left, right);
    }
  }
  if (!second) return LiteralForm::kFirst;
  if (!third) return LiteralForm::kSecond;
  return boyceCodd ? LiteralForm::kBoyceCodd : LiteralForm::kThird;
}

std::string pairsThatDetermineEachOther(int pairs) {
  std::string row;
  std::string dependencies;
  for (int i = 0; i < pairs; ++i) {
    const std::string a = "A" + std::to_string(i);
    const std::string b = "B" + std::to_string(i);
    row.append(i == 0 ? "" : ",").append(a).append(",").append(b);
    dependencies.append(a).append("->").append(b).append("\n");
    dependencies.append(b).append("->").append(a).append("\n");
  }
  return row + "\nA0,B0\n\n" + dependencies;
}

}  // namespace fdpreserve::testing
