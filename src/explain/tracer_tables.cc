#include "explain/tracer_tables.h"

#include <algorithm>

#include "analysis/tables_in_use.h"
#include "explain/pass_tracer.h"

namespace fdpreserve::explain {
namespace {

constexpr TracerIndex kNone = ~TracerIndex{0};

/// Fills `lists` from rows 0 to `rows` - 1, each row listed once under each attribute it holds,
/// and counts the distinct attributes of each row into `counts` when given.
template <typename RowOf>
void buildLists(AttributeLists& lists, std::size_t rows, RowOf rowOf,
                std::vector<TracerIndex>* counts) {
  const std::size_t ids = attributeIds();
  std::vector<TracerIndex> lastRow(ids, kNone);
  lists.begin.assign(ids + 1, 0);
  if (counts != nullptr) counts->assign(rows, 0);
  for (std::size_t r = 0; r < rows; ++r) {
    for (const AttributeId a : rowOf(r)) {
      if (lastRow[a] == r) continue;
      lastRow[a] = static_cast<TracerIndex>(r);
      ++lists.begin[a + 1];
      if (counts != nullptr) ++(*counts)[r];
    }
  }
  for (std::size_t a = 0; a < ids; ++a) lists.begin[a + 1] += lists.begin[a];
  lists.items.resize(lists.begin[ids]);
  std::vector<std::size_t> next(lists.begin.begin(), lists.begin.end() - 1);
  std::fill(lastRow.begin(), lastRow.end(), kNone);
  for (std::size_t r = 0; r < rows; ++r) {
    for (const AttributeId a : rowOf(r)) {
      if (lastRow[a] == r) continue;
      lastRow[a] = static_cast<TracerIndex>(r);
      lists.items[next[a]++] = static_cast<TracerIndex>(r);
    }
  }
}

}  // namespace

TracerTables tracer;

void ensureTracerBuilt() {
  if (tracer.built) return;
  const std::size_t ids = attributeIds();
  const std::size_t subschemas = subschemasInUse();
  const std::size_t dependencies = dependenciesInUse();
  buildLists(
      tracer.subschemasOf, subschemas, [](std::size_t r) { return subschemaAttributes(r); },
      nullptr);
  buildLists(
      tracer.dependenciesOf, dependencies, [](std::size_t d) { return leftAttributes(d); },
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

TracerIndex nextMark(TracerIndex& counter, std::initializer_list<std::vector<TracerIndex>*> marks) {
  if (counter == kNone - 1) {
    for (auto* m : marks) std::fill(m->begin(), m->end(), 0);
    counter = 0;
  }
  return ++counter;
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

bool rulesFireAlike() {
  // Read off the tables rather than the indexes, which a large input need never build.
  for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
    const SlotRow left = leftAttributes(d);
    if (left.empty()
            ? !rightAttributes(d).empty()
            : std::any_of(left.begin(), left.end(), [&](AttributeId a) { return a != left[0]; })) {
      return false;
    }
  }
  return true;
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
