#include "model/dependency_lines.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>
#include <vector>

#include "model/plain_lines.h"

namespace fdpreserve {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr std::size_t kWordBytes = sizeof(std::uint64_t);

/// A flag in each byte of `word` that equals `byte`. The lowest flag is exact; flags above it may
/// be false, and nothing looks at them.
constexpr std::uint64_t flagsOf(std::uint64_t word, char byte) {
  const std::uint64_t differences = word ^ (kOnes * static_cast<unsigned char>(byte));
  return (differences - kOnes) & ~differences & kHighBits;
}

/// A left side ends at its first minus; a right side takes minus signs into its names.
enum class Side : std::uint8_t { kLeft, kRight };

template <Side kSide>
bool endsField(char byte) {
  return byte == ',' || byte == '\n' || (kSide == Side::kLeft && byte == '-');
}

template <Side kSide>
std::uint64_t fieldEndFlags(std::uint64_t word) {
  std::uint64_t flags = flagsOf(word, ',') | flagsOf(word, '\n');
  if constexpr (kSide == Side::kLeft) flags |= flagsOf(word, '-');
  return flags;
}

/// Where the field from `at` ends, byte by byte: at `end` or at the byte that ends it.
template <Side kSide>
const char* fieldEnd(const char* at, const char* end) {
  while (at != end && !endsField<kSide>(*at)) ++at;
  return at;
}

/// What a piece is read into.
struct LineScan {
  SlotTable& sides;
  PieceNames& names;
  const char* end;          ///< the end of the lines
  const char* readableEnd;  ///< how far memory may be read
};

/// Ends the row begun at `rowBegin`: the free slots at its end are not stored.
void endRow(SlotTable& table, std::size_t rowBegin, bool anyFree) {
  if (anyFree) {
    std::vector<AttributeId>& slots = table.slots;
    while (slots.size() > rowBegin && slots.back() == kFreeSlot) slots.pop_back();
    const auto begin = slots.begin() + static_cast<std::ptrdiff_t>(rowBegin);
    if (std::find(begin, slots.end(), kFreeSlot) != slots.end()) table.hasInnerFreeSlots = true;
  }
  recordRowEnd(table, table.slots.size());
}

/// Reads the side from `at` into the next row, and returns where it ended: at the end of the
/// lines, or at the byte that ended it. Millions of fields pass here: where eight bytes may be
/// read, one word gives a short field's end and its key for the lookup at once.
template <Side kSide>
const char* readSide(LineScan& scan, const char* at) {
  std::vector<AttributeId>& slots = scan.sides.slots;
  const std::size_t rowBegin = slots.size();
  bool anyFree = false;
  for (;;) {
    const char* end = nullptr;
    AttributeId id = kFreeSlot;
    if (std::endian::native == std::endian::little &&
        static_cast<std::size_t>(scan.readableEnd - at) >= kWordBytes) {
      std::uint64_t word = 0;
      std::memcpy(&word, at, kWordBytes);
      const std::uint64_t flags = fieldEndFlags<kSide>(word);
      std::size_t length =
          flags == 0 ? kWordBytes : static_cast<std::size_t>(std::countr_zero(flags)) / 8;
      length = std::min(length, static_cast<std::size_t>(scan.end - at));
      if (length <= kShortNameBytes) {
        end = at + length;
        if (length > 0) {
          const std::uint64_t bytes = word & ((std::uint64_t{1} << (8 * length)) - 1);
          id = pieceShortId(scan.names, shortNameKey(bytes, length), std::string_view(at, length));
        }
      } else {
        end = fieldEnd<kSide>(at + kWordBytes, scan.end);
        id = pieceId(scan.names, std::string_view(at, static_cast<std::size_t>(end - at)));
      }
    } else {
      end = fieldEnd<kSide>(at, scan.end);
      id = pieceId(scan.names, std::string_view(at, static_cast<std::size_t>(end - at)));
    }
    anyFree |= id == kFreeSlot;
    slots.push_back(id);
    if (end == scan.end || *end != ',') {
      endRow(scan.sides, rowBegin, anyFree);
      return end;
    }
    at = end + 1;
  }
}

/// Reads the line from `at` into two rows, and returns where it ended: at its line feed, or at
/// the end of the lines.
const char* readLineAt(LineScan& scan, const char* const at, std::size_t& arrowPosition) {
  const char* const leftEnd = readSide<Side::kLeft>(scan, at);
  if (leftEnd != scan.end && *leftEnd == '-') {
    arrowPosition = static_cast<std::size_t>(leftEnd - at);
    // The byte after the minus is skipped unseen, but a line feed there still ends the line.
    if (scan.end - leftEnd < 2 || leftEnd[1] == '\n') {
      recordRowEnd(scan.sides, scan.sides.slots.size());
      return leftEnd + 1;
    }
    return readSide<Side::kRight>(scan, leftEnd + 2);
  }
  // No minus: the right side starts where the latest minus stood, two bytes on, in this line.
  if (arrowPosition + 2 < static_cast<std::size_t>(leftEnd - at)) {
    return readSide<Side::kRight>(scan, at + arrowPosition + 2);
  }
  recordRowEnd(scan.sides, scan.sides.slots.size());
  return leftEnd;
}

}  // namespace

/// Known names up to this many are copied into each piece rather than looked up apart.
constexpr std::size_t kCopiedNames = std::size_t{1} << 13;

void startPieceNames(PieceNames& names, const NamePool& known) {
  names.firstAdded = static_cast<AttributeId>(nameCount(known));
  if (nameCount(known) <= kCopiedNames) {
    names.known = nullptr;
    names.added = known;
    names.addedOffset = 0;
  } else {
    names.known = &known;
    names.added = NamePool();
    names.addedOffset = names.firstAdded - 1;
  }
}

void keepFirstPieceNames(NamePool& known, PieceNames& names) {
  if (names.known == nullptr) {
    known = std::move(names.added);
    return;
  }
  for (AttributeId id = names.firstAdded; id < pieceIdsEnd(names); ++id) {
    internName(known, addedName(names, id));
  }
}

AttributeId pieceId(PieceNames& names, std::string_view name) {
  if (name.empty()) return kFreeSlot;
  if (names.known != nullptr) {
    const AttributeId known = findName(*names.known, name);
    if (known != kFreeSlot) return known;
  }
  return names.addedOffset + internName(names.added, name);
}

std::size_t readDependencyLines(SlotTable& sides, PieceNames& names, std::string_view lines,
                                const char* readableEnd, bool lastOfSection,
                                std::size_t& arrowPosition) {
  LineScan scan{sides, names, lines.data() + lines.size(), readableEnd};
  const PlainLineScan plain{sides, names, scan.end, readableEnd};
  const char* at = lines.data();
  std::size_t entries = 0;
  // The read after a final line feed meets the end and takes an empty entry.
  while (at != scan.end || lastOfSection) {
    at = readPlainLines(plain, at, arrowPosition, entries);
    if (at == scan.end && !lastOfSection) break;
    const char* const lineEnd = readLineAt(scan, at, arrowPosition);
    ++entries;
    if (lineEnd == scan.end) break;
    at = lineEnd + 1;
  }
  return entries;
}

}  // namespace fdpreserve
