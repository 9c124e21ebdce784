#include "design/repaired_input.h"

#include <algorithm>

#include "model/analysis_state.h"
#include "platform/text_mode.h"

namespace fdpreserve {
namespace {

/// Where the lines go, and the line end they take.
struct Insertion {
  std::size_t at = 0;
  std::string_view lineEnd = "\n";
};

/// Finds the first empty line of what is read of `bytes`, as the reader does: lines end at line
/// feeds, a CR right before one is no part of the line, and nothing from a 1A on is read.
Insertion findInsertion(std::string_view bytes) {
  const std::size_t readable = std::min(bytes.find(kEndOfFile), bytes.size());
  Insertion insertion{.at = readable, .lineEnd = "\n"};
  for (std::size_t begin = 0; begin < readable;) {
    const std::size_t lineFeed = bytes.find('\n', begin);
    if (lineFeed == std::string_view::npos || lineFeed >= readable) break;
    const bool crBefore = lineFeed > begin && bytes[lineFeed - 1] == '\r';
    if (lineFeed - begin == (crBefore ? 1U : 0U)) {
      return {.at = begin, .lineEnd = crBefore ? "\r\n" : "\n"};
    }
    begin = lineFeed + 1;
  }
  // No empty line: the last line's end, if it has one, is the file's.
  if (readable > 0 && bytes[readable - 1] == '\n') {
    insertion.lineEnd = readable > 1 && bytes[readable - 2] == '\r' ? "\r\n" : "\n";
  }
  return insertion;
}

}  // namespace

std::string addedSubschemaLine(const AddedSubschema& subschema) {
  std::string line;
  for (const AttributeId a : subschema.attributes) {
    if (!line.empty()) line += ',';
    line += nameOf(state.attributeNames, a);
  }
  if (!line.empty() && line.back() == '\r') line += ',';
  return line;
}

std::string repairedInput(std::string_view bytes, std::span<const AddedSubschema> added) {
  if (added.empty()) return std::string(bytes);
  const Insertion insertion = findInsertion(bytes);
  std::string lines;
  // Without an empty line the insertion follows the last line, which may lack a line end.
  if (insertion.at > 0 && bytes[insertion.at - 1] != '\n') lines += insertion.lineEnd;
  for (const AddedSubschema& subschema : added) {
    lines += addedSubschemaLine(subschema);
    lines += insertion.lineEnd;
  }
  std::string repaired(bytes.substr(0, insertion.at));
  repaired += lines;
  repaired += bytes.substr(insertion.at);
  return repaired;
}

}  // namespace fdpreserve
