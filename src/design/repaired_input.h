#pragma once

#include <span>
#include <string>
#include <string_view>

#include "design/repair.h"

namespace fdpreserve {

/// The line that adds `subschema`, its names' bytes from `state` separated by commas, without a
/// line end. A last name ending in CR gets a comma after it, which adds nothing: a CR right before
/// the line feed would be dropped from the name.
std::string addedSubschemaLine(const AddedSubschema& subschema);

/// The input file `bytes`, as they were, with a line for each of `added` inserted where the
/// subschemas end: before the empty line that ends them, in that line's own line end (LF, or
/// CR LF); at the end of what is read when there is none. Everything else is left byte for byte,
/// the bytes from a 1A on too, so every line reads as it did.
std::string repairedInput(std::string_view bytes, std::span<const AddedSubschema> added);

}  // namespace fdpreserve
