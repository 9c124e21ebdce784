#pragma once

#include <vector>

#include "explain/name_text.h"
#include "model/name_pool.h"

namespace fdpreserve::explain {

/// For every attribute id of `state`, the first-read name that it differs from only in letter
/// case or in blanks at its edges, or `kFreeSlot` when there is none. Ids count in the order
/// names are first read, so the lowest id of a group came first.
std::vector<AttributeId> findTwins(NameEncoding encoding);

}  // namespace fdpreserve::explain
