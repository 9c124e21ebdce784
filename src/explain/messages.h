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

/// Every fixed text fdexplain writes of its own, apart from the report's wording.
namespace texts {
inline constexpr std::string_view kProgram = "fdexplain";
inline constexpr std::string_view kDescription =
    "Explains, for each FILE read exactly as fdpreserve reads it, whether the decomposition in it "
    "preserves its functional dependencies: which dependency is not preserved and why, the lines "
    "that read differently from how they look, and where the textbook closure rule would decide "
    "otherwise. The report goes to standard output; no file is written.";
inline constexpr std::string_view kFooter =
    "Exit status: 0 when every FILE preserves its dependencies (under the deciding rule), 1 when "
    "one does not, 2 when a FILE cannot be read or the command line is wrong.";
inline constexpr std::string_view kJsonOption = "one JSON object a FILE, a line each (JSON Lines)";
inline constexpr std::string_view kRuleOption =
    "the rule that decides the verdict and the exit status: any (a dependency fires on any one "
    "of its left attributes, as fdpreserve decides) or textbook (on all of them)";
inline constexpr std::string_view kAllOption =
    "every line, failure, trace and note, however large the input; also the chain of subschemas "
    "that carries each dependency preserved by more than its own subschema";
inline constexpr std::string_view kLangOption =
    "the language of the report: en (English) or hu (Hungarian); by default the locale's "
    "(LC_ALL, LC_MESSAGES, LANG: one that starts with hu gives Hungarian)";
inline constexpr std::string_view kFilesOption = "the input files, each checked on its own";
inline constexpr std::string_view kVersionOption = "print the version and exit";

/// Error lines: "fdexplain: FILE: " then one of these.
inline constexpr std::string_view kCannotRead = "cannot be read";
inline constexpr std::string_view kOutOfMemory = "not enough memory to explain it";
/// Error lines of the whole run: "fdexplain: " then one of these.
inline constexpr std::string_view kOutOfMemoryAtAll = "not enough memory";
inline constexpr std::string_view kCannotWriteReport = "cannot write the report";
inline constexpr std::string_view kInputLost =
    "an input file was shortened by another program while it was read";
inline constexpr std::string_view kSeeHelp = " (see fdexplain --help)";
}  // namespace texts

}  // namespace fdpreserve::explain
