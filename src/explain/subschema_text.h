#pragma once

#include "explain/text_parts.h"

namespace fdpreserve::explain {

/// The text report's sections on the design: a minimal cover of the dependencies, then for each
/// subschema, as far as the limits go, what it keeps, its keys and its normal form with the
/// reason, and where this tool's rule has it otherwise.
void writeSubschemaSections(TextContext& text);

}  // namespace fdpreserve::explain
