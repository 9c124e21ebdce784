#include "explain/name_text.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace fdpreserve::explain {
namespace {

/// ISO 8859-2 from A0 to FF; below A0 each byte is the code point of the same number.
constexpr std::array<char16_t, 96> kIso88592High{
    0x00A0, 0x0104, 0x02D8, 0x0141, 0x00A4, 0x013D, 0x015A, 0x00A7,  // A0
    0x00A8, 0x0160, 0x015E, 0x0164, 0x0179, 0x00AD, 0x017D, 0x017B,  // A8
    0x00B0, 0x0105, 0x02DB, 0x0142, 0x00B4, 0x013E, 0x015B, 0x02C7,  // B0
    0x00B8, 0x0161, 0x015F, 0x0165, 0x017A, 0x02DD, 0x017E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

constexpr char32_t kReplacement = 0xFFFD;

/// The length of the UTF-8 sequence at `at`, or 0 when none starts there.
std::size_t utf8SequenceAt(std::string_view bytes, std::size_t at, char32_t& codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
  const unsigned lead = byte(0);
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  std::size_t length = 0;
  char32_t lowest = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    lowest = 0x80;
    codePoint = lead & 0x1FU;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    lowest = 0x800;
    codePoint = lead & 0x0FU;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    lowest = 0x10000;
    codePoint = lead & 0x07U;
  } else {
    return 0;
  }
  if (bytes.size() - at < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0U) != 0x80U) return 0;
    codePoint = (codePoint << 6U) | (byte(i) & 0x3FU);
  }
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  if (codePoint < lowest || codePoint > 0x10FFFF || surrogate) return 0;
  return length;
}

/// Calls `visit` with each character of `bytes` read in `encoding`; a byte that starts no valid
/// UTF-8 sequence stands for U+FFFD.
template <typename Visit>
void forEachCodePoint(std::string_view bytes, NameEncoding encoding, Visit visit) {
  if (encoding == NameEncoding::kIso88592) {
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      visit(byte < 0xA0 ? char32_t{byte} : char32_t{kIso88592High[byte - 0xA0U]});
    }
    return;
  }
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t codePoint = 0;
    const std::size_t length = utf8SequenceAt(bytes, at, codePoint);
    visit(length == 0 ? kReplacement : codePoint);
    at += length == 0 ? 1 : length;
  }
}

void appendCodePoint(std::string& out, char32_t c) {
  const auto put = [&](std::uint32_t byte) { out.push_back(static_cast<char>(byte)); };
  if (c < 0x80) {
    put(c);
  } else if (c < 0x800) {
    put(0xC0U | (c >> 6U));
    put(0x80U | (c & 0x3FU));
  } else if (c < 0x10000) {
    put(0xE0U | (c >> 12U));
    put(0x80U | ((c >> 6U) & 0x3FU));
    put(0x80U | (c & 0x3FU));
  } else {
    put(0xF0U | (c >> 18U));
    put(0x80U | ((c >> 12U) & 0x3FU));
    put(0x80U | ((c >> 6U) & 0x3FU));
    put(0x80U | (c & 0x3FU));
  }
}

/// Characters a reader cannot see or tell apart from a blank, and the two that quoting uses.
bool needsEscape(char32_t c) {
  return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0xA0) || c == 0xAD ||
         (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) || c == 0x2060 ||
         c == 0xFEFF || c == '"' || c == '\\';
}

void appendEscaped(std::string& out, char32_t c) {
  static constexpr std::string_view kHex = "0123456789ABCDEF";
  const auto hex = [&](unsigned digits) {
    for (unsigned shift = 4 * digits; shift > 0; shift -= 4) {
      out.push_back(kHex[(c >> (shift - 4)) & 0xFU]);
    }
  };
  if (c == '"' || c == '\\') {
    out.push_back('\\');
    out.push_back(static_cast<char>(c));
  } else if (c == '\t') {
    out += "\\t";
  } else if (c == '\r') {
    out += "\\r";
  } else if (c < 0x20 || c == 0x7F) {
    out += "\\x";
    hex(2);
  } else {
    out += "\\u";
    hex(4);
  }
}

/// The lower-case letter of a Latin upper-case one, as far as ISO 8859-2 reaches; any other
/// character as it is.
char32_t foldCase(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  const bool evenUpper =
      (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
  const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
  if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1)) return c + 1;
  if (c == 0x178) return 0xFF;
  return c;
}

bool isEdgeBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view withoutEdgeBlanks(std::string_view bytes) {
  while (!bytes.empty() && isEdgeBlank(bytes.front())) bytes.remove_prefix(1);
  while (!bytes.empty() && isEdgeBlank(bytes.back())) bytes.remove_suffix(1);
  return bytes;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    // Plain ASCII, the bulk of any input, eight bytes a step.
    if (bytes.size() - at >= 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, bytes.data() + at, sizeof word);
      if ((word & 0x8080808080808080ULL) == 0) {
        at += 8;
        continue;
      }
    }
    char32_t ignored = 0;
    const std::size_t length = utf8SequenceAt(bytes, at, ignored);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

void appendUtf8(std::string& out, std::string_view bytes, NameEncoding encoding) {
  if (encoding == NameEncoding::kUtf8 && isValidUtf8(bytes)) {
    out += bytes;
    return;
  }
  forEachCodePoint(bytes, encoding, [&](char32_t c) { appendCodePoint(out, c); });
}

bool hasBlankAtEdge(std::string_view bytes) {
  return !bytes.empty() && (isEdgeBlank(bytes.front()) || isEdgeBlank(bytes.back()));
}

void appendVisibleName(std::string& out, std::string_view bytes, NameEncoding encoding) {
  bool quoted = hasBlankAtEdge(bytes) || bytes.empty();
  forEachCodePoint(bytes, encoding, [&](char32_t c) { quoted = quoted || needsEscape(c); });
  if (!quoted) {
    appendUtf8(out, bytes, encoding);
    return;
  }
  out.push_back('"');
  forEachCodePoint(bytes, encoding, [&](char32_t c) {
    if (needsEscape(c)) {
      appendEscaped(out, c);
    } else {
      appendCodePoint(out, c);
    }
  });
  out.push_back('"');
}

std::string twinKey(std::string_view bytes, NameEncoding encoding) {
  bytes = withoutEdgeBlanks(bytes);
  std::string key;
  key.reserve(bytes.size());
  forEachCodePoint(bytes, encoding, [&](char32_t c) { appendCodePoint(key, foldCase(c)); });
  return key;
}

std::uint64_t twinKeyHash(std::string_view bytes, NameEncoding encoding) {
  // FNV-1a over the folded characters: equal keys hash alike.
  std::uint64_t hash = 0xCBF29CE484222325ULL;
  forEachCodePoint(withoutEdgeBlanks(bytes), encoding,
                   [&](char32_t c) { hash = (hash ^ foldCase(c)) * 0x100000001B3ULL; });
  return hash;
}

}  // namespace fdpreserve::explain
