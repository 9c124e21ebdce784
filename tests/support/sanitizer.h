#pragma once

namespace fdpreserve::testing {

/// True when this build runs under AddressSanitizer, which maps terabytes of shadow memory: a limit
/// on the address space cannot be tested there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

/// How many seeded inputs a differential test draws where it would draw `inputs`: a quarter under
/// the sanitizers, which run every input several times slower and look for memory faults, not for
/// the rare input on which two methods part; the plain build draws them all.
constexpr int seededInputs(int inputs) {
  return kAddressSanitizer ? inputs / 4 : inputs;
}

}  // namespace fdpreserve::testing
