#pragma once

#include "model/attribute_types.h"

namespace fdpreserve {

// A dependency fires for an attribute as soon as that attribute stands anywhere on its left side:
// the other attributes of the left side are not required. Only the first `state.dependencyCount`
// entries take part, each side up to its first free slot.

/// `list` together with every attribute reached from its entries, sorted and without duplicates.
/// Built in `state.reachScratch`; the result is a copy.
AttributeList reachClosure(const AttributeList& list);

/// Adds to `state.reachScratch` every attribute reached from `attribute` that is not there yet.
/// Only meaningful inside `reachClosure`. Uses a stack of its own, never deep native recursion.
void extendReach(const AttributeName& attribute);

}  // namespace fdpreserve
