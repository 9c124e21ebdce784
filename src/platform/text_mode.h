#pragma once

#include <string>
#include <string_view>

namespace fdpreserve {

/// Every line end the program writes, to a file or to the console, on every platform.
inline constexpr std::string_view kLineEnd = "\r\n";

/// The byte that ends a file read in text mode, wherever it stands.
inline constexpr char kEndOfFile = '\x1a';

/// Turns raw file bytes into what a text-mode read yields: nothing from the first 1A byte on,
/// and each CR directly before a line feed dropped. Works in place, in one pass.
void toTextMode(std::string& bytes);

}  // namespace fdpreserve
