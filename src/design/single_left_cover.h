#pragma once

// A minimal cover of dependencies that each have a single left attribute, as every dependency
// does when the two rules fire alike: the reach between attributes is then all there is, and a
// graph of their components answers what would otherwise take a closure for each dependency.

#include <vector>

#include "design/any_rule_projection.h"
#include "design/dependency_set.h"
#include "design/work_budget.h"

namespace fdpreserve {

/// Whether every dependency of `set` has exactly one left attribute.
bool everyLeftSingle(const DependencySet& set);

/// Makes `set`, whose left sides are single attributes, a minimal cover of itself, as
/// `minimizeCover` does: a dependency between attributes that reach one another stays unless, in
/// order, the others kept still join them; of those between two groups of such attributes, none
/// stays when another way leads from the one group to the other, and the last of them stays when
/// none does. `becomes` as for `minimizeCover`. When `reach` is given, the graph of components
/// built on the way is left in it: the set's reach is the input's under this tool's rule when the
/// rules fire alike. False when the budget ran out first.
bool minimizeSingleLeftCover(DependencySet& set, std::vector<RowIndex>& becomes, WorkBudget& budget,
                             ReachSource* reach = nullptr);

}  // namespace fdpreserve
