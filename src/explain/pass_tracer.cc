#include "explain/pass_tracer.h"

#include <algorithm>
#include <functional>

#include "analysis/tables_in_use.h"

namespace fdpreserve::explain {
namespace {

using Index = std::uint32_t;

/// For each attribute id, a list of row numbers, all in one block: the list of `a` is
/// `items[begin[a], begin[a + 1])`.
struct AttributeLists {
  std::vector<std::size_t> begin;
  std::vector<Index> items;
};

/// The indexes of the tables and the marks of the runs. A mark holds the number of the run or
/// closure that set it, so nothing needs clearing between runs.
struct Tracer {
  bool built = false;
  AttributeLists subschemasOf;    ///< the subschemas that hold each attribute
  AttributeLists dependenciesOf;  ///< the dependencies whose left side holds each attribute
  std::vector<Index> leftCount;   ///< the distinct left attributes of each dependency
  std::vector<Index> emptyLeft;   ///< dependencies with nothing left and something right

  Index run = 0;
  std::vector<Index> reachedMark;  ///< attribute: reached in this run
  std::vector<Index> arrival;      ///< attribute: its place in the reached order
  std::vector<Index> goalMark;     ///< attribute: a right attribute not reached yet
  std::vector<Index> queuedMark;   ///< subschema: waiting for its step in this run
  std::vector<Index> seenMark;     ///< subschema: stepped in this run...
  std::vector<Index> seenLength;   ///< ...when this many attributes were reached

  Index closure = 0;
  std::vector<Index> closureMark;  ///< attribute: in the closure of this step
  std::vector<Index> rowMark;      ///< attribute: in the subschema of this step
  std::vector<Index> firedMark;    ///< dependency: fired, or counted down, in this step
  std::vector<Index> remaining;    ///< dependency: left attributes still to reach in this step

  std::vector<AttributeId> worklist;
  std::vector<Index> thisPass;  ///< min-heaps of the subschemas to step in this pass
  std::vector<Index> nextPass;  ///< and in the next
};

Tracer tracer;

constexpr Index kNoRow = ~Index{0};
constexpr std::size_t kBeforeFirstStep = ~std::size_t{0};

/// Fills `lists` from rows 0 to `rows` - 1, each row listed once under each attribute it holds,
/// and counts the distinct attributes of each row into `counts` when given.
template <typename RowOf>
void buildLists(AttributeLists& lists, std::size_t rows, RowOf rowOf, std::vector<Index>* counts) {
  const std::size_t ids = attributeIds();
  std::vector<Index> lastRow(ids, kNoRow);
  lists.begin.assign(ids + 1, 0);
  if (counts != nullptr) counts->assign(rows, 0);
  for (std::size_t r = 0; r < rows; ++r) {
    for (const AttributeId a : rowOf(r)) {
      if (lastRow[a] == r) continue;
      lastRow[a] = static_cast<Index>(r);
      ++lists.begin[a + 1];
      if (counts != nullptr) ++(*counts)[r];
    }
  }
  for (std::size_t a = 0; a < ids; ++a) lists.begin[a + 1] += lists.begin[a];
  lists.items.resize(lists.begin[ids]);
  std::vector<std::size_t> next(lists.begin.begin(), lists.begin.end() - 1);
  std::fill(lastRow.begin(), lastRow.end(), kNoRow);
  for (std::size_t r = 0; r < rows; ++r) {
    for (const AttributeId a : rowOf(r)) {
      if (lastRow[a] == r) continue;
      lastRow[a] = static_cast<Index>(r);
      lists.items[next[a]++] = static_cast<Index>(r);
    }
  }
}

std::span<const Index> listOf(const AttributeLists& lists, AttributeId a) {
  return std::span<const Index>(lists.items)
      .subspan(lists.begin[a], lists.begin[a + 1] - lists.begin[a]);
}

void ensureBuilt() {
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
      tracer.emptyLeft.push_back(static_cast<Index>(d));
    }
  }
  for (auto* marks : {&tracer.reachedMark, &tracer.arrival, &tracer.goalMark, &tracer.closureMark,
                      &tracer.rowMark}) {
    marks->assign(ids, 0);
  }
  for (auto* marks : {&tracer.queuedMark, &tracer.seenMark, &tracer.seenLength}) {
    marks->assign(subschemas, 0);
  }
  tracer.firedMark.assign(dependencies, 0);
  tracer.remaining.assign(dependencies, 0);
  tracer.built = true;
}

/// The number of the next run or closure; the marks start over when the numbers run out.
Index nextMark(Index& counter, std::initializer_list<std::vector<Index>*> marks) {
  if (counter == kNoRow - 1) {
    for (auto* m : marks) std::fill(m->begin(), m->end(), 0);
    counter = 0;
  }
  return ++counter;
}

void spend(WorkBudget& budget, std::size_t units) {
  budget.left = budget.left > units ? budget.left - units : 0;
}

/// One run of the passes: the dependency, the rule and where the run stands.
struct Run {
  PassTrace& trace;
  ClosureRule rule;
  WorkBudget& budget;
  std::size_t stillMissing = 0;
  std::uint64_t pass = 1;
};

void pushSubschema(std::vector<Index>& heap, Index subschema) {
  heap.push_back(subschema);
  std::push_heap(heap.begin(), heap.end(), std::greater<>());
}

/// Adds `a` to the reached set and queues the subschemas that now share more with it: in this
/// pass when they come after `position`, otherwise in the next.
void reach(Run& run, AttributeId a, std::size_t position) {
  tracer.reachedMark[a] = tracer.run;
  tracer.arrival[a] = static_cast<Index>(run.trace.reached.size());
  run.trace.reached.push_back(a);
  if (tracer.goalMark[a] == tracer.run) {
    tracer.goalMark[a] = 0;
    --run.stillMissing;
  }
  const auto holders = listOf(tracer.subschemasOf, a);
  spend(run.budget, holders.size());
  for (const Index j : holders) {
    // A step adds what its own closure gives, so the subschema itself has nothing more to add.
    if (j == position || tracer.queuedMark[j] == tracer.run) continue;
    tracer.queuedMark[j] = tracer.run;
    const bool laterThisPass = position == kBeforeFirstStep || j > position;
    pushSubschema(laterThisPass ? tracer.thisPass : tracer.nextPass, j);
  }
}

/// Closes the worklist under the dependencies, `rule` deciding when one fires, until `wanted`
/// attributes of the step's subschema not reached yet are in the closure. False when the budget
/// ran out first.
bool closeWorklist(Run& run, std::size_t wanted) {
  const Index c = tracer.closure;
  std::size_t found = 0;
  // True once the step has all it can add.
  const auto fire = [&](std::size_t d) {
    const SlotRow right = rightAttributes(d);
    spend(run.budget, right.size());
    for (const AttributeId y : right) {
      if (tracer.closureMark[y] == c) continue;
      tracer.closureMark[y] = c;
      tracer.worklist.push_back(y);
      if (tracer.rowMark[y] == c && tracer.reachedMark[y] != tracer.run && ++found == wanted) {
        return true;
      }
    }
    return false;
  };
  if (run.rule == ClosureRule::kAllLeftAttributes) {
    for (const Index d : tracer.emptyLeft) {
      if (fire(d)) return true;
    }
  }
  while (!tracer.worklist.empty()) {
    if (run.budget.left == 0) return false;
    const AttributeId a = tracer.worklist.back();
    tracer.worklist.pop_back();
    const auto firing = listOf(tracer.dependenciesOf, a);
    spend(run.budget, firing.size() + 1);
    for (const Index d : firing) {
      if (run.rule == ClosureRule::kAnyLeftAttribute) {
        if (tracer.firedMark[d] == c) continue;
        tracer.firedMark[d] = c;
      } else {
        if (tracer.firedMark[d] != c) {
          tracer.firedMark[d] = c;
          tracer.remaining[d] = tracer.leftCount[d];
        }
        if (--tracer.remaining[d] != 0) continue;
      }
      if (fire(d)) return true;
    }
  }
  return true;
}

/// The step of subschema `i`: closes what it shares with the reached set and adds what of the
/// closure it holds. Under this tool's rule the closure of a union is the union of the closures,
/// so only what it shares since its last step needs closing. False when the budget ran out.
bool step(Run& run, std::size_t i) {
  const Index c =
      nextMark(tracer.closure, {&tracer.closureMark, &tracer.rowMark, &tracer.firedMark});
  const SlotRow row = subschemaAttributes(i);
  spend(run.budget, row.size());
  const bool steppedBefore = tracer.seenMark[i] == tracer.run;
  const Index sharedBefore = steppedBefore ? tracer.seenLength[i] : 0;
  std::size_t wanted = 0;
  tracer.worklist.clear();
  for (const AttributeId x : row) {
    if (tracer.rowMark[x] == c) continue;
    tracer.rowMark[x] = c;
    if (tracer.reachedMark[x] != tracer.run) {
      ++wanted;
    } else if (run.rule == ClosureRule::kAllLeftAttributes || tracer.arrival[x] >= sharedBefore) {
      tracer.closureMark[x] = c;
      tracer.worklist.push_back(x);
    }
  }
  tracer.seenMark[i] = tracer.run;
  const bool closureOfNothing =
      run.rule == ClosureRule::kAllLeftAttributes && !tracer.emptyLeft.empty();
  if (wanted > 0 && (!tracer.worklist.empty() || closureOfNothing)) {
    if (!closeWorklist(run, wanted)) return false;
    const std::size_t before = run.trace.reached.size();
    for (const AttributeId x : row) {
      if (tracer.closureMark[x] == c && tracer.reachedMark[x] != tracer.run) reach(run, x, i);
    }
    if (run.trace.reached.size() > before) {
      run.trace.steps.push_back(
          {.pass = run.pass, .subschema = i, .end = run.trace.reached.size()});
    }
  }
  tracer.seenLength[i] = static_cast<Index>(run.trace.reached.size());
  return true;
}

}  // namespace

void resetPassTracer() {
  tracer = Tracer();
}

std::span<const std::uint32_t> subschemasHolding(AttributeId a) {
  ensureBuilt();
  return listOf(tracer.subschemasOf, a);
}

bool tablesTraceable() {
  const std::size_t limit = kNoRow - 1;
  return attributeIds() < limit && subschemasInUse() < limit && dependenciesInUse() < limit;
}

void tracePasses(PassTrace& trace, std::size_t entry, ClosureRule rule, TraceGoal goal,
                 WorkBudget& budget) {
  trace.reached.clear();
  trace.steps.clear();
  trace.missing.clear();
  trace.finished = false;
  ensureBuilt();
  nextMark(tracer.run,
           {&tracer.reachedMark, &tracer.goalMark, &tracer.queuedMark, &tracer.seenMark});
  tracer.thisPass.clear();
  tracer.nextPass.clear();
  Run run{.trace = trace, .rule = rule, .budget = budget};
  for (const AttributeId a : leftAttributes(entry)) {
    if (tracer.reachedMark[a] != tracer.run) reach(run, a, kBeforeFirstStep);
  }
  trace.leftEnd = trace.reached.size();
  for (const AttributeId y : rightAttributes(entry)) {
    if (tracer.reachedMark[y] == tracer.run || tracer.goalMark[y] == tracer.run) continue;
    tracer.goalMark[y] = tracer.run;
    ++run.stillMissing;
  }
  if (rule == ClosureRule::kAllLeftAttributes && !tracer.emptyLeft.empty()) {
    // The closure of nothing is not empty: every subschema may add something in the first pass.
    tracer.thisPass.clear();
    for (std::size_t i = 0; i < subschemasInUse(); ++i) {
      tracer.queuedMark[i] = tracer.run;
      tracer.thisPass.push_back(static_cast<Index>(i));  // ascending: already a heap
    }
  }
  bool withinBudget = true;
  while (withinBudget && !(goal == TraceGoal::kUntilRightReached && run.stillMissing == 0)) {
    if (tracer.thisPass.empty()) {
      if (tracer.nextPass.empty()) break;
      std::swap(tracer.thisPass, tracer.nextPass);
      ++run.pass;
    }
    std::pop_heap(tracer.thisPass.begin(), tracer.thisPass.end(), std::greater<>());
    const Index i = tracer.thisPass.back();
    tracer.thisPass.pop_back();
    tracer.queuedMark[i] = 0;
    withinBudget = step(run, i) && budget.left > 0;
  }
  trace.finished = withinBudget;
  for (const AttributeId y : rightAttributes(entry)) {
    if (tracer.reachedMark[y] == tracer.run || tracer.goalMark[y] != tracer.run) continue;
    tracer.goalMark[y] = 0;  // listed once, however often the right side names it
    trace.missing.push_back(y);
  }
}

}  // namespace fdpreserve::explain
