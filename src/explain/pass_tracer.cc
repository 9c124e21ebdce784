#include "explain/pass_tracer.h"

#include <algorithm>
#include <functional>

#include "analysis/tables_in_use.h"
#include "explain/tracer_tables.h"

namespace fdpreserve::explain {
namespace {

constexpr std::size_t kBeforeFirstStep = ~std::size_t{0};

/// What a run is after.
enum class Aim : std::uint8_t {
  kSettled,      ///< the whole reached set, in the passes' order
  kRight,        ///< the right side, in the passes' order
  kRightQuickly  ///< the right side, in any order, each closure cut short
};

/// One run of the passes: the dependency, the rule and where the run stands.
struct Run {
  PassTrace& trace;
  ClosureRule rule;
  Aim aim;
  WorkBudget& budget;
  std::uint64_t stepWork = 0;  ///< what one closure may take when `aim` is quick
  bool cut = false;            ///< some closure was cut short
  std::size_t stillMissing = 0;
  std::uint64_t pass = 1;
};

/// How a step's closure ended.
enum class Closed : std::uint8_t {
  kWhole,      ///< with all it can add to the subschema's share
  kCut,        ///< short of that, in a quick proof: what it found stands
  kOverBudget  ///< the run's budget ran out
};

void pushSubschema(std::vector<TracerIndex>& heap, TracerIndex subschema) {
  heap.push_back(subschema);
  std::push_heap(heap.begin(), heap.end(), std::greater<>());
}

/// How promising subschema `j` is for a quick proof, 0 most: one of those that hold the most
/// right attributes still missing; one that holds an attribute not reached of those; one that holds
/// some right attribute; any other.
std::uint64_t levelOf(TracerIndex j) {
  if (tracer.levelMark[j] != tracer.run) {
    const SlotRow row = subschemaAttributes(j);
    const bool near = std::any_of(row.begin(), row.end(), [](AttributeId x) {
      return tracer.nearMark[x] == tracer.run && tracer.reachedMark[x] != tracer.run;
    });
    tracer.level[j] = near ? 1 : tracer.holdsRightMark[j] == tracer.run ? 2 : 3;
    tracer.levelMark[j] = tracer.run;
  }
  return tracer.level[j];
}

/// Marks, for a quick proof, the subschemas that hold right attributes still missing, and gives
/// those that hold the most of them, and their attributes, the first places.
void markPromising(SlotRow right) {
  TracerIndex most = 0;
  for (const bool best : {false, true}) {
    for (const AttributeId y : right) {
      if (tracer.goalMark[y] != tracer.run) continue;
      for (const TracerIndex j : listOf(tracer.subschemasOf, y)) {
        if (!best) {
          tracer.rightCount[j] =
              tracer.holdsRightMark[j] == tracer.run ? tracer.rightCount[j] + 1 : 1;
          tracer.holdsRightMark[j] = tracer.run;
          most = std::max(most, tracer.rightCount[j]);
        } else if (tracer.rightCount[j] == most && tracer.levelMark[j] != tracer.run) {
          tracer.level[j] = 0;
          tracer.levelMark[j] = tracer.run;
          for (const AttributeId x : subschemaAttributes(j)) tracer.nearMark[x] = tracer.run;
        }
      }
    }
  }
}

/// Queues subschema `j` for a quick proof, by how promising it is now; an entry that has become
/// stale is skipped when it comes up.
void pushPromising(TracerIndex j) {
  const std::uint64_t key = levelOf(j) << 32U | (~TracerIndex{0} - tracer.shared[j]);
  tracer.promising.emplace_back(key, j);
  std::push_heap(tracer.promising.begin(), tracer.promising.end(), std::greater<>());
}

/// How many attributes of subschema `j` are reached, in a quick proof.
TracerIndex sharedNow(TracerIndex j) {
  return tracer.sharedMark[j] == tracer.run ? tracer.shared[j] : 0;
}

/// Adds `a` to the reached set and queues the subschemas that now share more with it: in this
/// pass when they come after `position`, otherwise in the next.
void reach(Run& run, AttributeId a, std::size_t position) {
  tracer.reachedMark[a] = tracer.run;
  tracer.arrival[a] = static_cast<TracerIndex>(run.trace.reached.size());
  run.trace.reached.push_back(a);
  if (tracer.goalMark[a] == tracer.run) {
    tracer.goalMark[a] = 0;
    --run.stillMissing;
  }
  const auto holders = listOf(tracer.subschemasOf, a);
  spend(run.budget, holders.size());
  for (const TracerIndex j : holders) {
    if (run.aim == Aim::kRightQuickly) {
      tracer.shared[j] = sharedNow(j) + 1;
      tracer.sharedMark[j] = tracer.run;
      if (j != position) pushPromising(j);
      continue;
    }
    // A step adds what its own closure gives, so the subschema itself has nothing more to add.
    if (j == position || tracer.queuedMark[j] == tracer.run) continue;
    tracer.queuedMark[j] = tracer.run;
    const bool laterThisPass = position == kBeforeFirstStep || j > position;
    pushSubschema(laterThisPass ? tracer.thisPass : tracer.nextPass, j);
  }
}

/// Closes the worklist under the dependencies, `rule` deciding when one fires, breadth first, so
/// that what lies near comes first. Stops early once it holds the `wanted` attributes of the
/// step's subschema not reached yet, or every right attribute still missing.
Closed closeWorklist(Run& run, std::size_t wanted) {
  const TracerIndex c = tracer.closure;
  const TracerIndex r = tracer.run;
  const bool seeksRight = run.aim != Aim::kSettled;
  std::size_t found = 0;
  std::size_t rightFound = 0;
  // True once the step has all it can add, or all the run needs.
  const auto fire = [&](std::size_t d) {
    const SlotRow right = rightAttributes(d);
    spend(run.budget, right.size());
    for (const AttributeId y : right) {
      if (tracer.closureMark[y] == c) continue;
      tracer.closureMark[y] = c;
      tracer.worklist.push_back(y);
      if (tracer.rowMark[y] != c || tracer.reachedMark[y] == r) continue;
      if (++found == wanted) return true;
      if (seeksRight && tracer.goalMark[y] == r && ++rightFound == run.stillMissing) return true;
    }
    return false;
  };
  if (run.rule == ClosureRule::kAllLeftAttributes) {
    for (const TracerIndex d : tracer.emptyLeft) {
      if (fire(d)) return Closed::kWhole;
    }
  }
  const std::uint64_t startingBudget = run.budget.left;
  for (std::size_t next = 0; next < tracer.worklist.size(); ++next) {
    if (run.budget.left == 0) return Closed::kOverBudget;
    if (run.aim == Aim::kRightQuickly && startingBudget - run.budget.left > run.stepWork) {
      return Closed::kCut;
    }
    const auto firing = listOf(tracer.dependenciesOf, tracer.worklist[next]);
    spend(run.budget, firing.size() + 1);
    for (const TracerIndex d : firing) {
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
      if (fire(d)) return Closed::kWhole;
    }
  }
  return Closed::kWhole;
}

/// The step of subschema `i`: closes what it shares with the reached set and adds what of the
/// closure it holds. Under this tool's rule the closure of a union is the union of the closures,
/// so only what it shares since its last whole step needs closing. False when the budget ran out.
bool step(Run& run, std::size_t i) {
  const TracerIndex c =
      nextMark(tracer.closure, {&tracer.closureMark, &tracer.rowMark, &tracer.firedMark});
  const SlotRow row = subschemaAttributes(i);
  spend(run.budget, row.size());
  const bool onlyNew =
      run.rule == ClosureRule::kAnyLeftAttribute && tracer.seenMark[i] == tracer.run;
  const TracerIndex sharedBefore = onlyNew ? tracer.seenLength[i] : 0;
  std::size_t wanted = 0;
  tracer.worklist.clear();
  for (const AttributeId x : row) {
    if (tracer.rowMark[x] == c) continue;
    tracer.rowMark[x] = c;
    if (tracer.reachedMark[x] != tracer.run) {
      ++wanted;
    } else if (tracer.arrival[x] >= sharedBefore) {
      tracer.closureMark[x] = c;
      tracer.worklist.push_back(x);
    }
  }
  const bool closureOfNothing =
      run.rule == ClosureRule::kAllLeftAttributes && !tracer.emptyLeft.empty();
  bool whole = true;
  if (wanted > 0 && (!tracer.worklist.empty() || closureOfNothing)) {
    const Closed closed = closeWorklist(run, wanted);
    if (closed == Closed::kOverBudget) return false;
    whole = closed == Closed::kWhole;
    run.cut = run.cut || !whole;
    const std::size_t before = run.trace.reached.size();
    for (const AttributeId x : row) {
      if (tracer.closureMark[x] == c && tracer.reachedMark[x] != tracer.run) reach(run, x, i);
    }
    if (run.trace.reached.size() > before) {
      run.trace.steps.push_back(
          {.pass = run.pass, .subschema = i, .end = run.trace.reached.size()});
    }
  }
  // A step cut short has not seen all its share: the next one closes all of it again.
  tracer.seenMark[i] = whole ? tracer.run : 0;
  tracer.seenLength[i] = run.aim == Aim::kRightQuickly
                             ? sharedNow(static_cast<TracerIndex>(i))
                             : static_cast<TracerIndex>(run.trace.reached.size());
  return true;
}

/// Starts a run: the left side reached, the right attributes not in it marked as missing, and
/// the subschemas to step in the first pass queued.
void startRun(Run& run, std::size_t entry) {
  nextMark(tracer.run,
           {&tracer.reachedMark, &tracer.goalMark, &tracer.queuedMark, &tracer.seenMark,
            &tracer.sharedMark, &tracer.holdsRightMark, &tracer.nearMark, &tracer.levelMark});
  tracer.thisPass.clear();
  tracer.nextPass.clear();
  tracer.promising.clear();
  const SlotRow left = leftAttributes(entry);
  const SlotRow right = rightAttributes(entry);
  for (const AttributeId y : right) {
    if (tracer.goalMark[y] == tracer.run || std::find(left.begin(), left.end(), y) != left.end()) {
      continue;
    }
    tracer.goalMark[y] = tracer.run;
    ++run.stillMissing;
  }
  if (run.aim == Aim::kRightQuickly) markPromising(right);
  for (const AttributeId a : left) {
    if (tracer.reachedMark[a] != tracer.run) reach(run, a, kBeforeFirstStep);
  }
  run.trace.leftEnd = run.trace.reached.size();
  if (run.rule == ClosureRule::kAllLeftAttributes && !tracer.emptyLeft.empty()) {
    // The closure of nothing is not empty: every subschema may add something in the first pass.
    tracer.thisPass.clear();
    for (std::size_t i = 0; i < subschemasInUse(); ++i) {
      const auto j = static_cast<TracerIndex>(i);
      tracer.queuedMark[i] = tracer.run;
      tracer.thisPass.push_back(j);  // ascending: already a heap
      if (run.aim == Aim::kRightQuickly) pushPromising(j);
    }
  }
}

/// The passes in their order, each subschema stepped when its share has grown.
void runPasses(Run& run) {
  bool withinBudget = true;
  while (withinBudget && !(run.aim == Aim::kRight && run.stillMissing == 0)) {
    if (tracer.thisPass.empty()) {
      if (tracer.nextPass.empty()) break;
      std::swap(tracer.thisPass, tracer.nextPass);
      ++run.pass;
    }
    std::pop_heap(tracer.thisPass.begin(), tracer.thisPass.end(), std::greater<>());
    const TracerIndex i = tracer.thisPass.back();
    tracer.thisPass.pop_back();
    tracer.queuedMark[i] = 0;
    withinBudget = step(run, i) && run.budget.left > 0;
  }
  run.trace.finished = withinBudget;
}

/// A quick proof: the most promising subschema first, whatever the passes' order; the result
/// depends only on what each step adds, never on the order of the steps.
void runQuickProof(Run& run) {
  bool withinBudget = true;
  while (withinBudget && run.stillMissing > 0 && !tracer.promising.empty()) {
    std::pop_heap(tracer.promising.begin(), tracer.promising.end(), std::greater<>());
    const TracerIndex j = tracer.promising.back().second;
    tracer.promising.pop_back();
    if (tracer.seenMark[j] == tracer.run && tracer.seenLength[j] == sharedNow(j)) continue;
    withinBudget = step(run, j) && run.budget.left > 0;
  }
  run.trace.finished = withinBudget;
}

/// Starts `trace` over, runs it, and lists the right attributes not reached.
void runTrace(Run& run, std::size_t entry) {
  PassTrace& trace = run.trace;
  trace.reached.clear();
  trace.steps.clear();
  trace.missing.clear();
  trace.finished = false;
  ensureTracerBuilt();
  startRun(run, entry);
  if (run.aim == Aim::kRightQuickly) {
    runQuickProof(run);
  } else {
    runPasses(run);
  }
  for (const AttributeId y : rightAttributes(entry)) {
    if (tracer.reachedMark[y] == tracer.run || tracer.goalMark[y] != tracer.run) continue;
    tracer.goalMark[y] = 0;  // listed once, however often the right side names it
    trace.missing.push_back(y);
  }
}

}  // namespace

void tracePasses(PassTrace& trace, std::size_t entry, ClosureRule rule, TraceGoal goal,
                 WorkBudget& budget) {
  Run run{.trace = trace, .rule = rule, .aim = Aim::kSettled, .budget = budget};
  if (goal == TraceGoal::kUntilRightReached) run.aim = Aim::kRight;
  if (goal == TraceGoal::kRightInAnyOrder) {
    run.aim = Aim::kRightQuickly;
    run.stepWork = ~std::uint64_t{0};
    run.pass = 0;
  }
  runTrace(run, entry);
}

RightSearch searchRight(std::size_t entry, ClosureRule rule, std::uint64_t stepWork,
                        WorkBudget& budget) {
  PassTrace& trace = tracer.proofTrace;
  Run run{.trace = trace,
          .rule = rule,
          .aim = Aim::kRightQuickly,
          .budget = budget,
          .stepWork = stepWork};
  runTrace(run, entry);
  if (trace.finished && trace.missing.empty()) return RightSearch::kReached;
  return trace.finished && !run.cut ? RightSearch::kNotReached : RightSearch::kUndecided;
}

}  // namespace fdpreserve::explain
