#pragma once

#include <cstddef>
#include <cstdint>

namespace fdpreserve::bench {

/// splitmix64: small, and the same numbers on every platform, which the standard library's
/// distributions do not promise.
struct Random {
  std::uint64_t state;
};

/// The next 64 random bits.
inline std::uint64_t nextRandom(Random& random) {
  random.state += 0x9E3779B97F4A7C15U;
  std::uint64_t bits = random.state;
  bits = (bits ^ (bits >> 30U)) * 0xBF58476D1CE4E5B9U;
  bits = (bits ^ (bits >> 27U)) * 0x94D049BB133111EBU;
  return bits ^ (bits >> 31U);
}

/// A number from 0 to `bound` - 1; `bound` is far below 2^64, so the bias of the modulo is nil.
inline std::size_t randomBelow(Random& random, std::size_t bound) {
  return static_cast<std::size_t>(nextRandom(random) % bound);
}

}  // namespace fdpreserve::bench
