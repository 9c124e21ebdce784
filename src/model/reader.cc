#include "model/reader.h"

#include <string_view>

#include "driver/line_reader.h"
#include "model/analysis_state.h"

namespace fdpreserve {
namespace {

// Where the minus of the latest dependency line that had one stood. A line without a minus takes
// its right side from this stale position, so it is kept from line to line on purpose.
std::size_t arrowPosition = 0;

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
