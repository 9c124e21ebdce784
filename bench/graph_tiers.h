#pragma once

#include <cstdint>
#include <string>

#include "bench/input_tiers.h"

namespace fdpreserve::bench {

/// The input of a tier whose `parts` is set; `seed` draws the graph and the order.
std::string partsInput(const TierShape& shape, std::uint64_t seed, bool withDependencies);

/// The input of a tier whose `ladder` is set; `seed` draws the questions and the order.
std::string ladderInput(const TierShape& shape, std::uint64_t seed, bool withDependencies);

}  // namespace fdpreserve::bench
