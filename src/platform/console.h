#pragma once

#include <string>
#include <string_view>

namespace fdpreserve {

/// Writes bytes to the console (standard output) at once, as they are.
void writeConsole(std::string_view bytes);

/// Writes `bytes` to standard output as they are, with no line end translated on any platform,
/// past every redirection; false when not all of them could be written.
bool writeStandardOutput(std::string_view bytes);

/// Writes one line of text to the console, followed by a line end. Allocates nothing.
void writeConsoleLine(std::string_view text);

/// Lets a write that cannot be done -- to a console or pipe that nobody reads any more, or past the
/// file size limit -- fail like any other write, instead of ending the process on the spot with a
/// signal, which would leave a truncated output file behind and say nothing.
void failWritesInsteadOfSignals();

/// Sends every later console byte to `sink` instead of standard output; nullptr restores it.
/// Tests and the fuzzer use it to keep the console quiet.
void redirectConsole(std::string* sink);

}  // namespace fdpreserve
