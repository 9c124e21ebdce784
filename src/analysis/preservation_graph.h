#pragma once

namespace fdpreserve {

/// Whether every dependency in use is preserved by the subschemas in use. The answer is the one
/// the passes of `projectedReach` give for each dependency in turn, found for all of them at once:
/// the attributes a left side ends up reaching are those reachable from it in a graph that links
/// x to y whenever some subschema holds both and y is in the reach of x.
bool allDependenciesPreserved();

}  // namespace fdpreserve
