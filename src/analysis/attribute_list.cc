#include "analysis/attribute_list.h"

#include <algorithm>
#include <utility>

#include "model/analysis_state.h"

namespace fdpreserve {
namespace {

/// The entries of `list` before its first empty one.
auto attributesOf(const AttributeList& list) {
  const auto end = std::find(list.begin(), list.end(), AttributeName());
  return std::pair(list.begin(), end);
}

bool holdsAttribute(const AttributeList& list, const AttributeName& name) {
  const auto [begin, end] = attributesOf(list);
  return std::find(begin, end, name) != end;
}

}  // namespace

void addUnique(AttributeName name, AttributeList& list) {
  if (std::find(list.begin(), list.end(), name) == list.end()) list.push_back(std::move(name));
  std::sort(list.begin(), list.end());
}

bool containsAttribute(const AttributeName& name, const AttributeList& list) {
  return name.empty() || std::find(list.begin(), list.end(), name) != list.end();
}

bool isSubset(const AttributeList& first, const AttributeList& second) {
  const auto [begin, end] = attributesOf(first);
  return std::all_of(begin, end, [&](const AttributeName& a) { return holdsAttribute(second, a); });
}

AttributeList intersectLists(const AttributeList& first, const AttributeList& second) {
  AttributeList& scratch = state.intersectionScratch;
  scratch.clear();
  const auto [begin, end] = attributesOf(first);
  for (auto a = begin; a != end; ++a) {
    if (holdsAttribute(second, *a)) addUnique(*a, scratch);
  }
  return scratch;
}

AttributeList uniteLists(const AttributeList& first, const AttributeList& second) {
  AttributeList& scratch = state.unionScratch;
  scratch.clear();
  for (const AttributeList* list : {&first, &second}) {
    const auto [begin, end] = attributesOf(*list);
    for (auto a = begin; a != end; ++a) addUnique(*a, scratch);
  }
  return scratch;
}

AttributeList rowAsList(SlotRow row) {
  AttributeList list(std::max(row.size(), kSlotsPerRow));
  std::transform(row.begin(), row.end(), list.begin(),
                 [](AttributeId id) { return AttributeName(nameOf(state.attributeNames, id)); });
  return list;
}

}  // namespace fdpreserve
