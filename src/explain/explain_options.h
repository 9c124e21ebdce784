#pragma once

#include <cstdint>

#include "explain/catalogue.h"

namespace fdpreserve::explain {

/// When a dependency fires while a set of attributes is closed.
enum class ClosureRule : std::uint8_t {
  kAnyLeftAttribute,   ///< this tool's rule: as soon as any one of its left attributes is reached
  kAllLeftAttributes,  ///< the textbook rule: once all of them are; an empty left side at once
};

/// What the command line asks of a report.
struct ExplainOptions {
  bool json = false;  ///< one JSON object a file instead of the text report
  ClosureRule decidingRule = ClosureRule::kAnyLeftAttribute;  ///< the rule behind the exit status
  bool all = false;                        ///< every line and every trace, however large the input
  Language language = Language::kEnglish;  ///< of the report's texts; JSON keys stay English
  bool summary = false;  ///< one line a file, for grading many files, instead of the report
  bool csv = false;      ///< the summary as CSV records under a header line
};

}  // namespace fdpreserve::explain
