#pragma once

#include <string_view>

#include "model/attribute_types.h"

namespace fdpreserve {

// ISO 8859-2: ü = FC, ő = F5, é = E9. Spelled as escapes so no source encoding can change them.
/// The verdict's bytes when every dependency is preserved.
inline constexpr std::string_view kPreservingVerdict = "f\xFCgg\xF5s\xE9g\xF5rz\xF5";
/// The verdict's bytes when some dependency is not: it ends like the other, so test for it first.
inline constexpr std::string_view kNotPreservingVerdict = "nem f\xFCgg\xF5s\xE9g\xF5rz\xF5";

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
