#include "driver/line_reader.h"

#include <algorithm>

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
  const std::string& content = input.content;
  if (input.position >= content.size()) {
    state.lineBuffer.clear();
    input.eofMark = true;
    input.failMark = true;
    return;
  }
  const std::size_t lineFeed = content.find('\n', input.position);
  if (lineFeed == std::string::npos) {
    state.lineBuffer.assign(content, input.position);
    input.position = content.size();
    input.eofMark = true;
    return;
  }
  state.lineBuffer.assign(content, input.position, lineFeed - input.position);
  input.position = lineFeed + 1;
}

void reserveLineBuffer() {
  const std::string& content = state.inputFile.content;
  std::size_t longest = 0;
  std::size_t begin = 0;
  while (begin < content.size()) {
    std::size_t end = content.find('\n', begin);
    if (end == std::string::npos) end = content.size();
    longest = std::max(longest, end - begin);
    begin = end + 1;
  }
  state.lineBuffer.reserve(longest);
}

void echoInput() {
  while (!state.inputFile.eofMark) {
    readLine();
    writeBytes(state.outputFile, state.lineBuffer);
    writeLineEnd(state.outputFile);
  }
}

}  // namespace fdpreserve
