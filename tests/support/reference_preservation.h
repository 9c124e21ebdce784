#pragma once

#include <string>

namespace fdpreserve::testing {

/// Whether every dependency in use is preserved, found the straightforward way: for each one in
/// input order, passes of `projectedReach` until nothing changes, then the right side is looked
/// up. Slow, and plainly right: the yardstick for the program's own test.
bool preservedByPasses();

/// The whole output file for `input` with the verdict found by `preservedByPasses`.
std::string referenceOutput(std::string input);

}  // namespace fdpreserve::testing
