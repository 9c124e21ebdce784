#pragma once

// Candidate keys and normal forms of a schema given a cover of its dependencies, over the places
// 0 to n - 1 of its attributes.

#include <cstdint>
#include <vector>

#include "design/dependency_set.h"
#include "design/work_budget.h"

namespace fdpreserve {

/// A set of places, ascending.
using PlaceList = std::vector<AttributeId>;

/// Whether `places` determine every attribute of the schema under `cover`, which `closer` indexes.
/// Empty when the budget ran out.
bool isSuperkey(Closer& closer, const DependencySet& cover, const PlaceList& places,
                WorkBudget& budget);

/// Drops from `places`, first to last, each place without which the rest still determine
/// `target` under `cover`; false when the budget ran out first.
bool shrinkForTarget(Closer& closer, const DependencySet& cover, PlaceList& places,
                     AttributeId target, WorkBudget& budget);

/// Every candidate key of the schema of `cover.attributes` attributes: the minimal sets that
/// determine all of them. Found from one key by combining each key found with each dependency of
/// the cover, each combination shrunk to a key unless it holds one known already; the work grows
/// with the keys there are, not with the subsets of the schema. Sorted by size, then by place.
/// False when the budget ran out first.
bool candidateKeys(Closer& closer, const DependencySet& cover, std::vector<PlaceList>& keys,
                   WorkBudget& budget);

/// The normal forms, from the weakest.
enum class NormalForm : std::uint8_t { kFirst, kSecond, kThird, kBoyceCodd };

/// A schema's normal form, and a dependency that holds on it and breaks the next form up.
struct FormFinding {
  NormalForm form = NormalForm::kBoyceCodd;
  PlaceList violationLeft;  ///< none in BCNF
  AttributeId violationRight = 0;
};

/// The normal form of the schema of `cover`, a minimal cover, whose candidate keys are `keys`:
/// BCNF when every left side of the cover is a superkey; else 3NF when each of them that is not
/// has a prime right attribute; else 2NF when no attribute outside every key depends on part of
/// a key; else 1NF. Testing the cover's dependencies is enough for BCNF and 3NF: a dependency
/// that breaks either is implied through one of the cover's that breaks it. Without keys only
/// BCNF can be told. False when it could not be told, or the budget ran out.
bool findNormalForm(Closer& closer, const DependencySet& cover, const std::vector<PlaceList>* keys,
                    FormFinding& finding, WorkBudget& budget);

}  // namespace fdpreserve
