#pragma once

namespace fdpreserve {

/// Whether every dependency in use is preserved, found 64 right-side attributes at a time,
/// whatever the number of attributes: what `allDependenciesPreserved` falls back to when a bit
/// for each pair of them would not fit.
bool allDependenciesPreservedInChunks();

}  // namespace fdpreserve
