#pragma once

// What each subschema of the input in `state` keeps, its keys and normal form, and a minimal
// cover of the input's dependencies: the textbook's notions, under the textbook rule, each within
// a budget of work; and, beside them, where this tool's rule gives a subschema other keys or
// another normal form.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "design/any_rule_projection.h"
#include "design/keys.h"
#include "design/minimal_cover.h"
#include "design/projection.h"
#include "design/work_budget.h"

namespace fdpreserve {

/// The work each part may take: about one visit of an attribute or a dependency a unit.
struct DesignBudgets {
  std::uint64_t file = 0;       ///< everything on one input together
  std::uint64_t cover = 0;      ///< the minimal cover of the input's dependencies
  std::uint64_t subschema = 0;  ///< each subschema: what it keeps, its keys and normal form
};

/// The budgets of a report; `everySubschema` lifts the file's, so that only each subschema's own
/// limits it.
DesignBudgets designBudgets(bool everySubschema);

/// Why some finding of a subschema is missing.
enum class DesignCut : std::uint8_t {
  kNone,
  kSubschemaBudget,  ///< its own budget ran out
  kFileBudget,       ///< the file's budget ran out before or while it was worked out
  kInputTooLarge,    ///< the input's dependencies were too many to read in for the budget
};

/// What one subschema keeps, over the places of its attributes. A part not worked out is marked
/// so, and `cut` says why.
struct SubschemaFindings {
  std::vector<AttributeId> attributes;  ///< each once, in the order the row names them: places
  DesignCut cut = DesignCut::kNone;
  bool projectedKnown = false;
  DependencySet projected;  ///< a minimal cover of what holds on it, sorted by its left sides
  bool keysKnown = false;
  std::vector<PlaceList> keys;
  bool formKnown = false;
  FormFinding form;
  /// Under this tool's rule its keys or its normal form differ from the textbook's: both were
  /// worked out, and `anyKeys` and `anyForm` hold this tool's.
  bool rulesPart = false;
  std::vector<PlaceList> anyKeys;
  FormFinding anyForm;
};

/// The findings on one input: what is worked out once, the budget left and what was cut.
struct DesignContext {
  DesignBudgets budgets;
  WorkBudget file;
  bool rulesAlike = false;  ///< the textbook's findings are this tool's too
  bool coverTried = false;
  bool coverFound = false;
  TracedCover cover;
  bool sourceTried = false;
  bool sourceReady = false;
  ProjectionSource projection;
  ReachSource reach;
  Closer closer;                     ///< over the cover of the subschema at hand
  std::size_t cutForTheFile = 0;     ///< subschemas with findings missing for the file's budget
  std::size_t cutForThemselves = 0;  ///< those with findings missing for their own budget
  std::size_t cutForTheInput = 0;    ///< those not worked out since the input was too large
};

/// Starts the findings on the input in `state`.
void startDesign(DesignContext& context, const DesignBudgets& budgets);

/// The minimal cover of the input's dependencies, worked out on the first call; null when its
/// budget ran out.
const TracedCover* inputCover(DesignContext& context);

/// The findings on subschema row `row`, worked out within its budget and what the file has left.
void findSubschema(DesignContext& context, std::size_t row, SubschemaFindings& findings);

}  // namespace fdpreserve
