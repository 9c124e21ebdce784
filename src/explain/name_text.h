#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fdpreserve::explain {

/// How the bytes of names are read as letters: UTF-8 when the whole input is valid UTF-8,
/// otherwise ISO 8859-2, the encoding of the verdict itself.
enum class NameEncoding : bool { kUtf8, kIso88592 };

/// Whether `bytes` is valid UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool isValidUtf8(std::string_view bytes);

/// Appends `bytes`, read in `encoding`, to `out` as UTF-8.
void appendUtf8(std::string& out, std::string_view bytes, NameEncoding encoding);

/// Appends a name as the text report shows it: as it is when that is unambiguous, otherwise in
/// double quotes with a blank at an edge kept visible and every control or invisible character,
/// the quote and the backslash escaped (`"A "`, `"\t"`, `"\x1B"`, `"\u00A0"`).
void appendVisibleName(std::string& out, std::string_view bytes, NameEncoding encoding);

/// Whether a name begins or ends with a blank or a tab.
bool hasBlankAtEdge(std::string_view bytes);

/// What is left of a name without the blanks and tabs at its edges and with every letter in
/// lower case: two names that differ only in case or in blanks at their edges share it.
std::string twinKey(std::string_view bytes, NameEncoding encoding);

/// A hash of `twinKey(bytes, encoding)`, made without building the key.
std::uint64_t twinKeyHash(std::string_view bytes, NameEncoding encoding);

}  // namespace fdpreserve::explain
