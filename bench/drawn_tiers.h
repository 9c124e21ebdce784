#pragma once

#include <cstdint>
#include <string>

#include "bench/input_tiers.h"

namespace fdpreserve::bench {

/// The input of a tier without windows: subschemas and dependencies drawn from `seed`.
std::string drawnInput(const TierShape& shape, std::uint64_t seed, bool withDependencies);

}  // namespace fdpreserve::bench
