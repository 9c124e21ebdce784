#pragma once

namespace fdpreserve {

/// Reads the next line of `state.inputFile` into `state.lineBuffer`, without its line feed.
/// A read that starts with a mark already set only sets the failure mark and keeps the buffer.
/// A read that runs into the end of the file sets the end-of-file mark, and the failure mark too
/// when it took no byte at all.
void readLine();

/// Makes `state.lineBuffer` large enough for the longest line of `state.inputFile`, so that no
/// later `readLine` on this content allocates.
void reserveLineBuffer();

/// Copies every line of `state.inputFile` into `state.outputFile`, each followed by a line end.
/// When the input ends with a line feed, the final empty read is copied too, as an empty line.
void echoInput();

}  // namespace fdpreserve
