#pragma once

#include <cstdint>
#include <string>

#include "bench/input_tiers.h"

namespace fdpreserve::bench {

/// The input of a tier whose `windows` is set; `seed` draws the jumps and the order.
std::string windowInput(const TierShape& shape, std::uint64_t seed, bool withDependencies);

}  // namespace fdpreserve::bench
