#pragma once

// What a subschema keeps of the input's dependencies under the textbook rule: a minimal cover of
// every dependency that holds among its attributes alone.

#include <span>
#include <vector>

#include "design/attribute_elimination.h"
#include "design/dependency_set.h"
#include "design/work_budget.h"

namespace fdpreserve {

/// What projections work from: dependencies over attribute ids equivalent to the input's, their
/// index, and marks over the ids that each projection numbers afresh.
struct ProjectionSource {
  DependencySet set;
  Closer closer;
  AttributeLists giving;  ///< for each attribute id, the dependencies whose right side it is
  RowIndex run = 0;
  std::vector<RowIndex> firedMark;    ///< dependency: fired from the subschema in run `run`
  std::vector<RowIndex> usefulMark;   ///< dependency or attribute: may lead into the subschema
  std::vector<RowIndex> placeMark;    ///< attribute: `place` holds for run `run`
  std::vector<AttributeId> place;     ///< attribute: its number in this projection
  std::vector<AttributeId> numbered;  ///< the attributes numbered, in order of their numbers
  std::vector<RowIndex> useful;       ///< the dependencies that may lead into the subschema
  Resolution resolution;
};

/// Takes over `set` (over attribute ids) and indexes it.
void prepareProjectionSource(ProjectionSource& source, DependencySet set);

/// The attributes of `row` into `distinct`, each once, in the order the row first names them.
void distinctAttributes(std::span<const AttributeId> row, std::vector<AttributeId>& distinct);

/// A minimal cover of the dependencies that hold on the subschema of `attributes` (distinct ids),
/// over their places in it: 0 for `attributes[0]` and so on. Only what the subschema can fire,
/// and only what leads back into it, takes part; every other attribute is then eliminated. False
/// when the budget ran out first.
bool projectTextbook(ProjectionSource& source, std::span<const AttributeId> attributes,
                     DependencySet& projected, WorkBudget& budget);

}  // namespace fdpreserve
