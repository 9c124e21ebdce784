#include "driver/line_reader.h"

#include "model/analysis_state.h"

namespace fdpreserve {

void readLine() {
  InputFile& input = state.inputFile;
  if (!input.isOpen) {
    // Nothing can come from a closed file: reading it ends every loop that waits for the end.
    input.eofMark = true;
    input.failMark = true;
    return;
  }
  if (input.eofMark || input.failMark) {
    input.failMark = true;
    return;
  }
  const std::string_view content = input.content;
  if (input.position >= content.size()) {
    state.lineBuffer = {};
    input.eofMark = true;
    input.failMark = true;
    return;
  }
  const std::size_t lineFeed = content.find('\n', input.position);
  if (lineFeed == std::string_view::npos) {
    state.lineBuffer = content.substr(input.position);
    input.position = content.size();
    input.eofMark = true;
    return;
  }
  state.lineBuffer = content.substr(input.position, lineFeed - input.position);
  input.position = lineFeed + 1;
}

void echoInput() {
  // Every line, the last one too, ends with a line end: with a final line feed, the empty read
  // after it is the line that gets the last one.
  writeText(state.outputFile, state.inputFile.content);
  writeLineEnd(state.outputFile);
}

}  // namespace fdpreserve
