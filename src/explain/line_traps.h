#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "explain/catalogue.h"
#include "explain/name_text.h"

namespace fdpreserve::explain {

// The traps that new users fall into, found in the bytes of a file or of one line: the lines read
// as fdpreserve reads them, but not as they were meant.

/// The byte order mark a file begins with.
enum class ByteOrderMark : std::uint8_t { kNone, kUtf8, kUtf16LittleEndian, kUtf16BigEndian };

/// The mark at the start of `content`, the file's bytes.
ByteOrderMark byteOrderMarkOf(std::string_view content);

/// What stands where an arrow was probably meant.
enum class LookalikeKind : std::uint8_t {
  kArrowCharacter,  ///< a character drawn as an arrow (→, ⇒, ⟶ ...)
  kEqualsArrow,     ///< "=>"
  kDashArrow,       ///< a dash other than the minus, then > ("–>", "—>", "−>" ...)
  kAnsiDashArrow,   ///< an en or em dash of Windows-1250 (96 or 97), then >
  kLoneGreater,     ///< a > without a minus before it
};

/// One look-alike of the arrow in a line.
struct ArrowLookalike {
  LookalikeKind kind = LookalikeKind::kLoneGreater;
  std::string_view text;   ///< its bytes in the line, the > included
  char32_t codePoint = 0;  ///< the arrow or dash character; the byte for kAnsiDashArrow
};

/// Whether `content` may hold a look-alike of the arrow anywhere: false lets a clean file of
/// millions of lines skip the search on each.
bool mayHoldArrowLookalike(std::string_view content, NameEncoding encoding);

/// The first look-alike of the arrow in `line`, if it has one. A real arrow, "->", is none.
std::optional<ArrowLookalike> findArrowLookalike(std::string_view line, NameEncoding encoding);

/// The look-alike in words, in `language`: "the character → (U+2192)", "\"=>\"" ...
std::string describeLookalike(const ArrowLookalike& found, Language language);

/// Whether `line` holds blanks or tabs and nothing else: it looks empty, and is not.
bool isBlankLine(std::string_view line);

/// How a line spells fdpreserve's verdict.
enum class VerdictSpelling : std::uint8_t {
  kNone,
  kAsWritten,  ///< in ISO 8859-2, as fdpreserve writes it
  kUtf8,       ///< in UTF-8, as after a conversion
};

/// Whether `line` is fdpreserve's verdict, and which; `preserving` tells which verdict it is.
VerdictSpelling verdictSpellingOf(std::string_view line, bool& preserving);

}  // namespace fdpreserve::explain
