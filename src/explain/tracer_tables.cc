#include "explain/tracer_tables.h"

#include <algorithm>

#include "analysis/tables_in_use.h"
#include "explain/pass_tracer.h"

namespace fdpreserve::explain {
namespace {

constexpr TracerIndex kNone = ~TracerIndex{0};

}  // namespace

TracerTables tracer;

void ensureTracerBuilt() {
  if (tracer.built) return;
  const std::size_t ids = attributeIds();
  const std::size_t subschemas = subschemasInUse();
  const std::size_t dependencies = dependenciesInUse();
  buildAttributeLists(
      tracer.subschemasOf, ids, subschemas, [](std::size_t r) { return subschemaAttributes(r); },
      nullptr);
  buildAttributeLists(
      tracer.dependenciesOf, ids, dependencies, [](std::size_t d) { return leftAttributes(d); },
      &tracer.leftCount);
  for (std::size_t d = 0; d < dependencies; ++d) {
    if (leftAttributes(d).empty() && !rightAttributes(d).empty()) {
      tracer.emptyLeft.push_back(static_cast<TracerIndex>(d));
    }
  }
  for (auto* marks : {&tracer.reachedMark, &tracer.arrival, &tracer.goalMark, &tracer.closureMark,
                      &tracer.rowMark, &tracer.nearMark}) {
    marks->assign(ids, 0);
  }
  for (auto* marks :
       {&tracer.queuedMark, &tracer.seenMark, &tracer.seenLength, &tracer.sharedMark,
        &tracer.shared, &tracer.holdsRightMark, &tracer.levelMark, &tracer.rightCount}) {
    marks->assign(subschemas, 0);
  }
  tracer.level.assign(subschemas, 0);
  tracer.firedMark.assign(dependencies, 0);
  tracer.remaining.assign(dependencies, 0);
  tracer.built = true;
}

void resetPassTracer() {
  tracer = TracerTables();
}

bool tablesTraceable() {
  const std::size_t limit = kNone - 1;
  return attributeIds() < limit && subschemasInUse() < limit && dependenciesInUse() < limit;
}

bool anyEmptyLeftSide() {
  ensureTracerBuilt();
  return !tracer.emptyLeft.empty();
}

std::span<const std::uint32_t> subschemasHolding(AttributeId a) {
  ensureTracerBuilt();
  return listOf(tracer.subschemasOf, a);
}

bool carriedByOneSubschema(std::size_t entry) {
  const SlotRow left = leftAttributes(entry);
  if (left.empty()) return false;
  ensureTracerBuilt();
  // The subschemas that hold the first left attribute, narrowed by each attribute after it: each
  // list is ascending, so a narrowing costs a search a candidate.
  std::vector<TracerIndex>& candidates = tracer.candidates;
  const auto first = listOf(tracer.subschemasOf, left[0]);
  candidates.assign(first.begin(), first.end());
  for (const SlotRow side : {left, rightAttributes(entry)}) {
    for (const AttributeId a : side) {
      const auto holders = listOf(tracer.subschemasOf, a);
      std::erase_if(candidates, [&](TracerIndex i) {
        return !std::binary_search(holders.begin(), holders.end(), i);
      });
      if (candidates.empty()) return false;
    }
  }
  return true;
}

}  // namespace fdpreserve::explain
