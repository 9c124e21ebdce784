#pragma once

#include <cstdint>

#include "design/closure_rule.h"
#include "explain/catalogue.h"

namespace fdpreserve::explain {

/// The rules live with the design library, which chases under them too.
using fdpreserve::ClosureRule;

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
