#pragma once

#include <cstddef>
#include <cstdint>

#include "design/work_budget.h"

namespace fdpreserve {

/// Whether the natural join of the subschemas gives back exactly the relation they were cut from,
/// as the chase decides: one row a subschema, lossless when some row ends distinguished in every
/// column of the schema (the union of the subschemas).
struct JoinVerdict {
  bool decided = false;     ///< false when the budget ran out first
  bool lossless = false;    ///< when decided
  std::size_t fullRow = 0;  ///< when lossless: a subschema whose row ends distinguished everywhere
  /// When lossless: that subschema holds the whole schema, so its row starts distinguished
  /// everywhere, and the join is lossless under any rule.
  bool holdsSchema = false;
  /// When decided lossy: how many cells of the final tableau are distinguished at the least,
  /// which tells beforehand whether chasing it for its rows is worth the memory.
  std::uint64_t distinguishedCells = 0;
};

/// How many questions of reach a row may ask for each component it holds before its components are
/// sorted out by searches instead; tests lower it so that the searches run on small inputs. The
/// verdict never depends on it.
struct JoinLimits {
  std::size_t questionsPerMember = 8;
};

/// The limits in force.
extern JoinLimits joinLimits;

/// The chase's verdict under this tool's rule on the tables in `state`, found without the
/// tableau. A subschema with no attributes is a row that starts distinguished nowhere; with no
/// subschema at all there is no row, and the join is lossy. Spends `budget` on the questions of
/// reach that the order of the steps' components does not settle.
JoinVerdict losslessUnderAnyRule(WorkBudget& budget);

}  // namespace fdpreserve
