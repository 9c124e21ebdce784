#include "design/dependency_set.h"

namespace fdpreserve {

void clearDependencies(DependencySet& set, std::size_t attributes) {
  set.attributes = attributes;
  set.leftEnds.clear();
  set.lefts.clear();
  set.rights.clear();
}

void addDependency(DependencySet& set, std::span<const AttributeId> left, AttributeId right) {
  set.lefts.insert(set.lefts.end(), left.begin(), left.end());
  set.leftEnds.push_back(set.lefts.size());
  set.rights.push_back(right);
}

void buildCloser(Closer& closer, const DependencySet& set) {
  const std::size_t count = dependenciesIn(set);
  buildAttributeLists(
      closer.firing, set.attributes, count, [&](std::size_t i) { return leftOf(set, i); },
      &closer.leftCount);
  closer.emptyLeft.clear();
  for (std::size_t i = 0; i < count; ++i) {
    if (closer.leftCount[i] == 0) closer.emptyLeft.push_back(static_cast<RowIndex>(i));
  }
  closer.off.assign(count, 0);
  closer.run = 0;
  closer.reachedMark.assign(set.attributes, 0);
  closer.countedMark.assign(count, 0);
  closer.remaining.assign(count, 0);
}

Closure closeAttributes(Closer& closer, const DependencySet& set,
                        std::span<const AttributeId> start, AttributeId target,
                        WorkBudget& budget) {
  const RowIndex run = nextMark(closer.run, {&closer.reachedMark, &closer.countedMark});
  closer.members.clear();
  closer.fired.clear();
  bool reachedTarget = false;
  const auto reach = [&](AttributeId a) {
    if (closer.reachedMark[a] == run) return;
    closer.reachedMark[a] = run;
    closer.members.push_back(a);
    reachedTarget = reachedTarget || a == target;
  };
  const auto fire = [&](RowIndex i) {
    if (closer.off[i] != 0) return;
    closer.fired.push_back(i);
    reach(set.rights[i]);
  };
  for (const AttributeId a : start) reach(a);
  for (const RowIndex i : closer.emptyLeft) fire(i);
  if (!spend(budget, start.size() + closer.emptyLeft.size() + 1)) return Closure::kOverBudget;
  // The members list is the queue: what was reached first is closed first.
  for (std::size_t next = 0; next < closer.members.size() && !reachedTarget; ++next) {
    const auto firing = listOf(closer.firing, closer.members[next]);
    if (!spend(budget, firing.size() + 1)) return Closure::kOverBudget;
    for (const RowIndex i : firing) {
      if (closer.countedMark[i] != run) {
        closer.countedMark[i] = run;
        closer.remaining[i] = closer.leftCount[i];
      }
      if (--closer.remaining[i] == 0) fire(i);
    }
  }
  return reachedTarget ? Closure::kTargetReached : Closure::kWhole;
}

}  // namespace fdpreserve
