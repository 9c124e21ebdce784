#include "analysis/reach.h"

#include <algorithm>
#include <vector>

#include "analysis/attribute_list.h"
#include "model/analysis_state.h"

namespace fdpreserve {
namespace {

/// True when some left side in use holds `attribute` before its first free slot.
bool firesAny(const AttributeName& attribute) {
  const AttributeId id = findName(state.attributeNames, attribute);
  if (id == kFreeSlot) return false;
  for (std::int64_t d = 0; d < state.dependencyCount; ++d) {
    const SlotRow left = attributesOf(leftSide(state.dependencies, static_cast<std::size_t>(d)));
    if (std::find(left.begin(), left.end(), id) != left.end()) return true;
  }
  return false;
}

}  // namespace

AttributeList reachClosure(const AttributeList& list) {
  state.reachScratch.clear();
  for (const AttributeName& attribute : list) {
    addUnique(attribute, state.reachScratch);
    if (firesAny(attribute)) extendReach(attribute);
  }
  return state.reachScratch;
}

void extendReach(const AttributeName& attribute) {
  const AttributeId id = findName(state.attributeNames, attribute);
  if (id == kFreeSlot) return;
  std::vector<AttributeId> toExtend{id};
  while (!toExtend.empty()) {
    const AttributeId from = toExtend.back();
    toExtend.pop_back();
    for (std::int64_t d = 0; d < state.dependencyCount; ++d) {
      const auto entry = static_cast<std::size_t>(d);
      const SlotRow left = attributesOf(leftSide(state.dependencies, entry));
      if (std::find(left.begin(), left.end(), from) == left.end()) continue;
      for (const AttributeId reached : attributesOf(rightSide(state.dependencies, entry))) {
        const AttributeName name(nameOf(state.attributeNames, reached));
        if (containsAttribute(name, state.reachScratch)) continue;
        addUnique(name, state.reachScratch);
        toExtend.push_back(reached);
      }
    }
  }
}

}  // namespace fdpreserve
