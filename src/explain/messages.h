#pragma once

#include <string_view>

namespace fdpreserve::explain {

/// The exit statuses of fdexplain, as cmp and diff have them.
enum ExplainStatus : int {
  kExitPreserving = 0,     ///< every file preserves its dependencies, under the deciding rule
  kExitNotPreserving = 1,  ///< some file does not
  kExitTrouble = 2,        ///< a file could not be read, the report not written, or the command
                           ///< line is wrong
};

/// The fixed texts fdexplain writes that no language changes; its words come from the catalogue.
namespace texts {
inline constexpr std::string_view kProgram = "fdexplain";
}  // namespace texts

}  // namespace fdpreserve::explain
