#pragma once

#include <string_view>

namespace fdpreserve {

/// The exit statuses of a run.
enum ExitStatus : int {
  kExitVerdict = 0,  ///< a verdict was written
  kExitFailure = 1,  ///< one console line says what went wrong
};

/// The console texts, each written as a line of its own. Plain ASCII, no accents.
namespace messages {
inline constexpr std::string_view kMissingParameter = "Hianyzo parameter!";
inline constexpr std::string_view kTooManyParameters = "Tul sok parameter!";
inline constexpr std::string_view kBadFileName = "Hibas fajlnev!";
inline constexpr std::string_view kCannotCreateOutput = "Nem lehet letrehozni az output fajlt!";
inline constexpr std::string_view kOutputWriteFailed = "Hiba az output fajl irasakor!";
/// Another program shortened the input while it was being read.
inline constexpr std::string_view kInputReadFailed = "Hiba az input fajl olvasasakor!";
inline constexpr std::string_view kOutOfMemory = "Nincs eleg memoria!";
/// The announcement is these two around the output file name, as typed.
inline constexpr std::string_view kCreatedBefore = "A(z) ";
inline constexpr std::string_view kCreatedAfter = " nevu fajl letrehozva!";
}  // namespace messages

}  // namespace fdpreserve
