#pragma once

#include <cstdint>
#include <limits>

namespace fdpreserve {

/// Units of work a caller allows a search that can grow faster than its input: about one visit of
/// an attribute or a dependency each. A large input stops such a search here, with a note, instead
/// of taking minutes.
struct WorkBudget {
  std::uint64_t left = std::numeric_limits<std::uint64_t>::max();
};

/// A budget that never runs out.
inline WorkBudget unlimitedBudget() {
  return {};
}

/// Takes `units` from `budget`, down to nothing; false once nothing is left.
bool spend(WorkBudget& budget, std::uint64_t units);

}  // namespace fdpreserve
