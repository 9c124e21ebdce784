#pragma once

#include "model/attribute_types.h"
#include "model/slot_table.h"

namespace fdpreserve {

// Names order byte by byte as unsigned values, a prefix first: exactly std::string's own order.

/// Appends `name` to `list` when no entry equals it, then sorts the whole list.
void addUnique(AttributeName name, AttributeList& list);

/// True when `name` is empty or equals any entry of `list`; empty entries do not end the scan.
bool containsAttribute(const AttributeName& name, const AttributeList& list);

/// True when every attribute of `first` occurs in `second`. Each list ends at its first empty
/// entry.
bool isSubset(const AttributeList& first, const AttributeList& second);

/// The attributes of `first` that occur in `second`, sorted and without duplicates, each list
/// ending at its first empty entry. Built in `state.intersectionScratch`; the result is a copy.
AttributeList intersectLists(const AttributeList& first, const AttributeList& second);

/// The attributes of both lists, sorted and without duplicates, each list ending at its first
/// empty entry. Built in `state.unionScratch`; the result is a copy.
AttributeList uniteLists(const AttributeList& first, const AttributeList& second);

/// A table row as a list: at least 50 entries, its free slots as empty names.
AttributeList rowAsList(SlotRow row);

}  // namespace fdpreserve
