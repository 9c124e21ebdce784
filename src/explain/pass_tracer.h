#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "design/work_budget.h"
#include "explain/explain_options.h"
#include "model/name_pool.h"

namespace fdpreserve::explain {

/// How far to run the passes.
enum class TraceGoal : std::uint8_t {
  kUntilSettled,       ///< until a pass adds nothing: the whole reached set
  kUntilRightReached,  ///< until every right attribute is reached, or the passes settle
  /// Until every right attribute is reached, stepping the most promising subschema first rather
  /// than in the passes' order: the steps found carry the right side all the same, and are found
  /// far sooner. Their `pass` is 0.
  kRightInAnyOrder,
};

/// One step of the passes that added something: subschema `subschema`, in pass `pass` (from 1;
/// 0 when the steps were taken in any order), added the reached attributes up to `end`, after those
/// of the step before.
struct PassStep {
  std::uint64_t pass = 0;
  std::size_t subschema = 0;
  std::size_t end = 0;
};

/// What the passes over the subschemas reached from one dependency's left side.
struct PassTrace {
  std::vector<AttributeId> reached;  ///< in the order reached: the left side first
  std::size_t leftEnd = 0;           ///< the left side's attributes are `reached[0, leftEnd)`
  std::vector<PassStep> steps;       ///< the steps that added something, in order
  std::vector<AttributeId> missing;  ///< right attributes not reached, in right-side order
  bool finished = false;             ///< false when the budget ran out first
};

/// Forgets the indexes of the tables before, for a new input in `state`.
void resetPassTracer();

/// Whether the tables are small enough to be traced at all: their counts fit the tracer's 32-bit
/// indexes.
bool tablesTraceable();

/// What a search for the right side found.
enum class RightSearch : std::uint8_t {
  kReached,     ///< every right attribute: the entry is preserved
  kNotReached,  ///< the passes settle without some: the entry is not preserved
  kUndecided,   ///< a closure was cut short, or the budget ran out
};

/// Whether the passes reach every right attribute of entry `entry` under `rule`, found quickly:
/// the most promising subschema is stepped first, whatever the passes' order, since the reached
/// set they settle on does not depend on it; and each closure is cut short after `stepWork`
/// units. What a step cut short reaches is reached all the same. Spends at most `budget`.
RightSearch searchRight(std::size_t entry, ClosureRule rule, std::uint64_t stepWork,
                        WorkBudget& budget);

/// Whether some dependency has nothing on its left and something on its right. Without one, a
/// dependency preserved under the textbook rule is preserved under ours too.
bool anyEmptyLeftSide();

/// The subschemas that hold attribute `a`, ascending, each once.
std::span<const std::uint32_t> subschemasHolding(AttributeId a);

/// Whether one subschema holds every attribute of both sides of entry `entry`, its left side not
/// empty: that subschema's own step then carries it alone, under either rule.
bool carriedByOneSubschema(std::size_t entry);

/// Runs the passes for dependency entry `entry` of `state` under `rule`, recording each step that
/// adds something into `trace`, and spends `budget`. Each step closes what its subschema shares
/// with the reached set under every dependency in use, `rule` deciding when one fires; a
/// subschema whose shared attributes did not change since its last step is skipped, since it
/// would add nothing new.
void tracePasses(PassTrace& trace, std::size_t entry, ClosureRule rule, TraceGoal goal,
                 WorkBudget& budget);

}  // namespace fdpreserve::explain
