#pragma once

#include <string>
#include <string_view>

namespace fdpreserve {

/// Writes bytes to the console (standard output) at once, as they are.
void writeConsole(std::string_view bytes);

/// Writes one line of text to the console, followed by a line end.
void writeConsoleLine(std::string_view text);

/// Sends every later console byte to `sink` instead of standard output; nullptr restores it.
/// Tests and the fuzzer use it to keep the console quiet.
void redirectConsole(std::string* sink);

}  // namespace fdpreserve
