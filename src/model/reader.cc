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

/// Sizes the dependency table for the lines still to come, so that millions of them fill it
/// without regrowing it: each line has two sides, and each comma starts one more field.
void reserveForRest() {
  const std::string_view content = state.inputFile.content;
  const std::string_view rest = content.substr(std::min(state.inputFile.position, content.size()));
  std::size_t lineFeeds = 0;
  std::size_t commas = 0;
  // One pass in blocks of 255 bytes with a byte-wide count each: the compiler widens this to
  // many bytes a step, where a search a comma would make millions of calls.
  constexpr std::size_t kBlock = 255;
  for (std::size_t begin = 0; begin < rest.size(); begin += kBlock) {
    const std::string_view block = rest.substr(begin, kBlock);
    unsigned char blockLineFeeds = 0;
    unsigned char blockCommas = 0;
    for (const char byte : block) {
      blockLineFeeds = static_cast<unsigned char>(blockLineFeeds + (byte == '\n' ? 1 : 0));
      blockCommas = static_cast<unsigned char>(blockCommas + (byte == ',' ? 1 : 0));
    }
    lineFeeds += blockLineFeeds;
    commas += blockCommas;
  }
  reserveRows(state.dependencies.sides, 2 * (lineFeeds + 1), 2 * (lineFeeds + 1) + commas);
}

/// How many bytes of the input follow `part`, a piece of the line last read: the scan of a row
/// may read that far ahead.
std::size_t bytesAfter(std::string_view part) {
  if (part.empty()) return 0;
  const std::string_view content = state.inputFile.content;
  return static_cast<std::size_t>(content.data() + content.size() - (part.data() + part.size()));
}

}  // namespace

void readDecomposition() {
  state.schemaCount = 0;
  state.dependencyCount = 0;
  arrowPosition = 0;
  readLine();
  while (!state.lineBuffer.empty()) {
    appendSubschema(state.decomposition, state.attributeNames, state.lineBuffer,
                    bytesAfter(state.lineBuffer));
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
    const std::string_view left = line.substr(0, minus);
    const std::string_view right = rightBegin < line.size() ? line.substr(rightBegin) : "";
    appendDependency(state.dependencies, state.attributeNames, left, right, bytesAfter(left),
                     bytesAfter(right));
    ++state.dependencyCount;
  }
}

}  // namespace fdpreserve
