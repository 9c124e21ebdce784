#include "explain/line_traps.h"

#include <algorithm>
#include <array>

#include "analysis/preservation.h"
#include "explain/text_parts.h"

namespace fdpreserve::explain {
namespace {

/// A character of three UTF-8 bytes that is taken for an arrow, or for a minus before a >.
struct LookalikeCharacter {
  std::string_view bytes;
  char32_t codePoint;
  std::string_view dashKey;  ///< the catalogue's name for a dash; empty for an arrow
};

// Every one of them starts with E2: a line without that byte holds none.
constexpr std::array<LookalikeCharacter, 16> kLookalikes{{
    {"\xE2\x86\x92", 0x2192, ""},  // →
    {"\xE2\x87\x92", 0x21D2, ""},  // ⇒
    {"\xE2\x9F\xB6", 0x27F6, ""},  // ⟶
    {"\xE2\x9F\xB9", 0x27F9, ""},  // ⟹
    {"\xE2\x86\xA6", 0x21A6, ""},  // ↦
    {"\xE2\x87\xA8", 0x21E8, ""},  // ⇨
    {"\xE2\x9E\x94", 0x2794, ""},  // ➔
    {"\xE2\x9E\x9C", 0x279C, ""},  // ➜
    {"\xE2\x9E\xA1", 0x27A1, ""},  // ➡
    {"\xE2\x80\x90", 0x2010, "lookalike.dash.hyphen"},
    {"\xE2\x80\x91", 0x2011, "lookalike.dash.non-breaking-hyphen"},
    {"\xE2\x80\x92", 0x2012, "lookalike.dash.figure"},
    {"\xE2\x80\x93", 0x2013, "lookalike.dash.en"},
    {"\xE2\x80\x94", 0x2014, "lookalike.dash.em"},
    {"\xE2\x80\x95", 0x2015, "lookalike.dash.bar"},
    {"\xE2\x88\x92", 0x2212, "lookalike.dash.minus-sign"},
}};

/// The en and em dash of Windows-1250, which Hungarian Windows editors save as "ANSI".
constexpr char kAnsiEnDash = '\x96';
constexpr char kAnsiEmDash = '\x97';

const LookalikeCharacter* lookalikeAt(std::string_view line, std::size_t at) {
  const auto found = std::find_if(kLookalikes.begin(), kLookalikes.end(),
                                  [&](const auto& l) { return line.substr(at, 3) == l.bytes; });
  return found == kLookalikes.end() ? nullptr : &*found;
}

/// What the > at `at` ends: a real arrow (none), or a look-alike.
std::optional<ArrowLookalike> greaterAt(std::string_view line, std::size_t at,
                                        NameEncoding encoding) {
  if (at > 0 && line[at - 1] == '-') return std::nullopt;
  if (at > 0 && line[at - 1] == '=') {
    return ArrowLookalike{.kind = LookalikeKind::kEqualsArrow, .text = line.substr(at - 1, 2)};
  }
  if (encoding == NameEncoding::kIso88592 && at > 0 &&
      (line[at - 1] == kAnsiEnDash || line[at - 1] == kAnsiEmDash)) {
    return ArrowLookalike{.kind = LookalikeKind::kAnsiDashArrow,
                          .text = line.substr(at - 1, 2),
                          .codePoint = static_cast<unsigned char>(line[at - 1])};
  }
  if (encoding == NameEncoding::kUtf8 && at >= 3) {
    const LookalikeCharacter* dash = lookalikeAt(line, at - 3);
    if (dash != nullptr && !dash->dashKey.empty()) {
      return ArrowLookalike{.kind = LookalikeKind::kDashArrow,
                            .text = line.substr(at - 3, 4),
                            .codePoint = dash->codePoint};
    }
  }
  return ArrowLookalike{.kind = LookalikeKind::kLoneGreater, .text = line.substr(at, 1)};
}

std::string codeOf(char32_t codePoint) {
  static constexpr std::string_view kHex = "0123456789ABCDEF";
  std::string code = "U+";
  for (unsigned shift = 16; shift > 0; shift -= 4) {
    code.push_back(kHex[(codePoint >> (shift - 4)) & 0xFU]);
  }
  return code;
}

}  // namespace

ByteOrderMark byteOrderMarkOf(std::string_view content) {
  if (content.starts_with("\xEF\xBB\xBF")) return ByteOrderMark::kUtf8;
  if (content.starts_with("\xFF\xFE")) return ByteOrderMark::kUtf16LittleEndian;
  if (content.starts_with("\xFE\xFF")) return ByteOrderMark::kUtf16BigEndian;
  return ByteOrderMark::kNone;
}

bool mayHoldArrowLookalike(std::string_view content, NameEncoding encoding) {
  const std::string_view bytes = encoding == NameEncoding::kUtf8 ? "\xE2" : "\x96\x97";
  if (content.find_first_of(bytes) != std::string_view::npos) return true;
  for (std::size_t at = content.find('>'); at != std::string_view::npos;
       at = content.find('>', at + 1)) {
    if (at == 0 || content[at - 1] != '-') return true;
  }
  return false;
}

std::optional<ArrowLookalike> findArrowLookalike(std::string_view line, NameEncoding encoding) {
  const std::string_view starts = encoding == NameEncoding::kUtf8 ? ">\xE2" : ">";
  for (std::size_t at = line.find_first_of(starts); at != std::string_view::npos;
       at = line.find_first_of(starts, at + 1)) {
    if (line[at] == '>') {
      if (auto found = greaterAt(line, at, encoding)) return found;
      continue;
    }
    const LookalikeCharacter* character = lookalikeAt(line, at);
    if (character != nullptr && character->dashKey.empty()) {
      return ArrowLookalike{.kind = LookalikeKind::kArrowCharacter,
                            .text = line.substr(at, 3),
                            .codePoint = character->codePoint};
    }
  }
  return std::nullopt;
}

std::string describeLookalike(const ArrowLookalike& found, Language language) {
  const std::string text(found.text);
  switch (found.kind) {
    case LookalikeKind::kArrowCharacter:
      return phrase(language, "lookalike.arrow-character",
                    {{"text", text}, {"code", codeOf(found.codePoint)}});
    case LookalikeKind::kEqualsArrow:
      return phrase(language, "lookalike.equals");
    case LookalikeKind::kDashArrow: {
      const auto* character =
          std::find_if(kLookalikes.begin(), kLookalikes.end(),
                       [&](const auto& l) { return l.codePoint == found.codePoint; });
      return phrase(language, "lookalike.dash",
                    {{"text", text},
                     {"dash", phrase(language, character->dashKey)},
                     {"code", codeOf(found.codePoint)}});
    }
    case LookalikeKind::kAnsiDashArrow:
      return phrase(language,
                    found.codePoint == 0x96 ? "lookalike.ansi-en-dash" : "lookalike.ansi-em-dash");
    case LookalikeKind::kLoneGreater:
      break;
  }
  return phrase(language, "lookalike.lone-greater");
}

bool isBlankLine(std::string_view line) {
  return !line.empty() && line.find_first_not_of(" \t") == std::string_view::npos;
}

VerdictSpelling verdictSpellingOf(std::string_view line, bool& preserving) {
  // Views compare their sizes first: a line of any other length costs a size test each.
  static const std::string kPreservingUtf8 = hungarianVerdict(true);
  static const std::string kNotPreservingUtf8 = hungarianVerdict(false);
  for (const bool which : {true, false}) {
    preserving = which;
    if (line == (which ? kPreservingVerdict : kNotPreservingVerdict)) {
      return VerdictSpelling::kAsWritten;
    }
    if (line == (which ? kPreservingUtf8 : kNotPreservingUtf8)) return VerdictSpelling::kUtf8;
  }
  return VerdictSpelling::kNone;
}

}  // namespace fdpreserve::explain
