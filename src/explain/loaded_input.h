#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "explain/catalogue.h"
#include "explain/name_text.h"
#include "model/analysis_state.h"

namespace fdpreserve::explain {

/// What fdexplain knows of the input in `state` beyond its tables.
struct LoadedInput {
  std::string name;       ///< the file name as given
  bool readable = false;  ///< the tables hold the file; otherwise `error` says why not
  std::string error;      ///< why the file could not be read
  NameEncoding encoding = NameEncoding::kUtf8;
  bool hasEmptyLine = false;          ///< an empty line ended the subschemas
  bool finalEmptyEntry = false;       ///< the last entry is the empty one a final line feed yields
  std::size_t bytesAfterContent = 0;  ///< bytes from the first 1A on, which nothing reads
};

/// The name that stands for standard input among the files.
inline constexpr std::string_view kStandardInputName = "-";

/// Reads the file at `path` into `state` exactly as fdpreserve reads its input, from a fresh
/// state; `-` reads standard input to its end. The content stays open for the notes. An error is
/// told in `language`.
LoadedInput loadFile(const std::string& path, Language language = Language::kEnglish);

/// The same for a file whose bytes are already in memory; `name` only names it.
LoadedInput loadBytes(const std::string& name, std::string bytes);

/// The dependency entries a report counts and lists: all but the empty one after a final line
/// feed, which every file that ends with one has.
inline std::size_t countedEntries(const LoadedInput& input) {
  return static_cast<std::size_t>(state.dependencyCount) - (input.finalEmptyEntry ? 1 : 0);
}

/// The line of subschema row `row`.
inline std::uint64_t subschemaLine(std::size_t row) {
  return std::uint64_t{row} + 1;
}

/// The line of dependency entry `entry`: past the subschemas and the empty line. The entry after a
/// final line feed gets the number after the last line.
inline std::uint64_t dependencyLine(std::size_t entry) {
  return static_cast<std::uint64_t>(state.schemaCount) + 2 + entry;
}

}  // namespace fdpreserve::explain
