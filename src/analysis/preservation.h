#pragma once

#include "model/attribute_types.h"

namespace fdpreserve {

/// The test itself: for each dependency in use, in input order, grows the attributes reachable
/// from its left side through the subschemas until nothing changes, and stops at the first whose
/// right side is not all reached. Writes "függőségőrző" or "nem függőségőrző" into
/// `state.outputFile` after a line end. After the positive verdict it closes both files.
void checkPreservation();

/// One pass over every subschema, in table order: each adds to `reached` what the dependencies
/// reach from the attributes it shares with `reached`, within the subschema. Changes `reached`.
void projectedReach(AttributeList& reached);

/// Appends a line end and the verdict's ISO 8859-2 bytes, with nothing after them.
void writeVerdict(bool preserved);

}  // namespace fdpreserve
