#pragma once

#include <string>
#include <vector>

namespace fdpreserve {

/// One attribute: bytes taken verbatim from the input. The empty name is never an attribute: it
/// marks a free slot.
using AttributeName = std::string;

/// An ordered, growable list of names. Lists built through `addUnique` stay sorted and free of
/// duplicates; lists copied from a table row keep its free slots as empty entries.
using AttributeList = std::vector<AttributeName>;

}  // namespace fdpreserve
