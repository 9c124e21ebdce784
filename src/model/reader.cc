#include "model/reader.h"

#include <algorithm>
#include <string_view>

#include "driver/line_reader.h"
#include "model/analysis_state.h"

namespace fdpreserve {
namespace {

// Where the minus of the latest dependency line that had one stood. A line without a minus takes
// its right side from this stale position, so it is kept from line to line on purpose.
std::size_t arrowPosition = 0;

/// How often `byte` occurs in `text`.
std::size_t occurrences(std::string_view text, char byte) {
  std::size_t count = 0;
  for (std::size_t at = text.find(byte); at != std::string_view::npos;
       at = text.find(byte, at + 1)) {
    ++count;
  }
  return count;
}

/// Sizes the dependency table for the lines still to come, so that millions of them fill it
/// without regrowing it: each line has two sides, and each comma starts one more field.
void reserveForRest() {
  const std::string_view rest =
      std::string_view(state.inputFile.content)
          .substr(std::min(state.inputFile.position, state.inputFile.content.size()));
  const std::size_t lines = occurrences(rest, '\n') + 1;
  reserveRows(state.dependencies.sides, 2 * lines, 2 * lines + occurrences(rest, ','));
}

}  // namespace

void readDecomposition() {
  state.schemaCount = 0;
  state.dependencyCount = 0;
  arrowPosition = 0;
  readLine();
  while (!state.lineBuffer.empty()) {
    appendSubschema(state.decomposition, state.attributeNames, state.lineBuffer);
    ++state.schemaCount;
    // A last line without a line feed is a subschema too, and the file has nothing after it.
    if (state.inputFile.eofMark) break;
    readLine();
  }
}

void readDependencies() {
  reserveForRest();
  while (!state.inputFile.eofMark) {
    readLine();
    const std::string_view line = state.lineBuffer;
    const std::size_t minus = line.find('-');
    if (minus != std::string_view::npos) arrowPosition = minus;
    // The byte after the minus is skipped unseen: it is the > of a well-formed arrow.
    const std::size_t rightBegin = arrowPosition + 2;
    const std::string_view right = rightBegin < line.size() ? line.substr(rightBegin) : "";
    appendDependency(state.dependencies, state.attributeNames, line.substr(0, minus), right);
    ++state.dependencyCount;
  }
}

}  // namespace fdpreserve
