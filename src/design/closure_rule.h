#pragma once

#include <cstdint>

namespace fdpreserve {

/// When a dependency fires while a set of attributes is closed, or a chase equates symbols.
enum class ClosureRule : std::uint8_t {
  kAnyLeftAttribute,   ///< this tool's rule: as soon as any one of its left attributes is reached
  kAllLeftAttributes,  ///< the textbook rule: once all of them are; an empty left side at once
};

}  // namespace fdpreserve
