#pragma once

namespace fdpreserve {

/// Points `state.lineBuffer` at the next line of `state.inputFile`, without its line feed.
/// A read that starts with a mark already set only sets the failure mark and keeps the buffer.
/// A read that runs into the end of the file sets the end-of-file mark, and the failure mark too
/// when it took no byte at all.
void readLine();

/// Copies every line of `state.inputFile` into `state.outputFile`, each followed by a line end.
/// When the input ends with a line feed, the final empty read is copied too, as an empty line.
/// Reads the content without moving through it, so the reader may go through it meanwhile.
void echoInput();

}  // namespace fdpreserve
