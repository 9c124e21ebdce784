#include "model/reader.h"

#include <cstdint>
#include <string_view>

#include "driver/line_reader.h"
#include "model/analysis_state.h"

namespace fdpreserve {
namespace {

// Where the minus of the latest dependency line that had one stood. A line without a minus takes
// its right side from this stale position, so it is kept from line to line on purpose.
std::size_t arrowPosition = 0;

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

void cutDependencyLines(DependencyPieces& pieces, std::size_t pieceBytes) {
  cutDependencyPieces(pieces, pieceBytes, arrowPosition);
}

void joinDependencyLines(DependencyPieces& pieces) {
  arrowPosition = joinDependencyPieces(pieces);
}

void readDependencies() {
  if (!state.inputFile.isOpen && !state.inputFile.eofMark) {
    // Reading a closed file fails at once: the buffer keeps the line it held, and is taken again.
    readLine();
    PieceNames names;
    startPieceNames(names, state.attributeNames);
    state.dependencyCount += static_cast<std::int64_t>(readDependencyLines(
        state.dependencies.sides, names, state.lineBuffer,
        state.lineBuffer.data() + state.lineBuffer.size(), true, arrowPosition));
    keepFirstPieceNames(state.attributeNames, names);
    return;
  }
  DependencyPieces pieces;
  cutDependencyLines(pieces, SIZE_MAX);
  while (readFrontPiece(pieces)) {
  }
  joinDependencyLines(pieces);
}

}  // namespace fdpreserve
