#include "model/plain_lines.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fdpreserve {
namespace {

constexpr std::size_t kWordBytes = sizeof(std::uint64_t);
constexpr std::size_t kBlockBytes = 64;

/// A bit for each comma, minus and line feed among the 64 bytes from `at`, lowest first.
std::uint64_t delimitersAt(const char* at) {
  std::uint64_t delimiters = 0;
#if defined(__SSE2__)
  const __m128i commas = _mm_set1_epi8(',');
  const __m128i minusSigns = _mm_set1_epi8('-');
  const __m128i lineFeeds = _mm_set1_epi8('\n');
  for (std::size_t part = 0; part < kBlockBytes / 16; ++part) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * part));
    const __m128i hits =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, commas), _mm_cmpeq_epi8(bytes, minusSigns)),
                     _mm_cmpeq_epi8(bytes, lineFeeds));
    delimiters |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(hits))} << (16 * part);
  }
#else
  for (unsigned i = 0; i < kBlockBytes; ++i) {
    if (at[i] == ',' || at[i] == '-' || at[i] == '\n') delimiters |= std::uint64_t{1} << i;
  }
#endif
  return delimiters;
}

/// Slots, and row ends, gathered before they go to the table in one block.
constexpr std::size_t kGathered = 2048;

/// Hands the gathered rows to the table: `ends` counts from the first gathered slot.
void handOver(SlotTable& table, const AttributeId* slots, std::size_t slotCount,
              const std::uint32_t* ends, std::size_t endCount) {
  const std::size_t base = table.slots.size();
  table.slots.insert(table.slots.end(), slots, slots + slotCount);
  if (std::uint64_t{base + slotCount} >> 32U == std::uint64_t{base} >> 32U) {
    const auto wrappedBase = static_cast<std::uint32_t>(base);  // no multiple of 2^32 is passed
    for (std::size_t e = 0; e < endCount; ++e) table.rowEnds.push_back(wrappedBase + ends[e]);
  } else {
    for (std::size_t e = 0; e < endCount; ++e) recordRowEnd(table, base + ends[e]);
  }
}

}  // namespace

const char* readPlainLines(const PlainLineScan& scan, const char* at, std::size_t& arrowPosition,
                           std::size_t& entries) {
  if constexpr (std::endian::native != std::endian::little) return at;
  // A block is looked at only where a word more may be read past it: a name's word, and the byte
  // after a minus.
  if (static_cast<std::size_t>(scan.readableEnd - at) < kBlockBytes + kWordBytes) return at;
  const char* const lastBlock = scan.readableEnd - (kBlockBytes + kWordBytes);
  // The sides of millions of lines end after one, two or three names, as chance has it: a branch
  // on where each name ends would miss about every other time. So the delimiters of 64 bytes are
  // found at once, every name is taken the same way, what its end means is worked out in
  // numbers, and only what is rare branches.
  AttributeId slots[kGathered];
  std::uint32_t ends[kGathered];
  std::size_t slotCount = 0;
  std::size_t endCount = 0;
  // What the lines read whole left; a line that turns out not plain is read again elsewhere.
  const char* lineStart = at;
  std::size_t keptSlots = 0;
  std::size_t keptEnds = 0;
  std::size_t keptArrow = arrowPosition;
  std::size_t lines = 0;
  std::size_t arrow = arrowPosition;
  bool onLeft = true;
  const char* block = at;
  std::uint64_t delimiters = delimitersAt(block);
  while (slotCount != kGathered) {
    if (delimiters == 0) {
      block += kBlockBytes;
      if (block > lastBlock) break;
      delimiters = delimitersAt(block);
      continue;
    }
    const char* const fieldEnd = block + std::countr_zero(delimiters);
    delimiters &= delimiters - 1;
    if (fieldEnd >= scan.end) break;
    const auto length = static_cast<std::size_t>(fieldEnd - at);
    if (length - 1 >= kShortNameBytes) break;  // an empty name, or a long one
    const char end = *fieldEnd;
    const bool comma = end == ',';
    const bool lineFeed = end == '\n';
    const bool minus = end == '-';
    if (minus && !onLeft) break;  // a minus inside a name of the right side: not a name's end
    std::uint64_t word = 0;
    std::memcpy(&word, at, kWordBytes);
    const std::uint64_t bytes = word & ((std::uint64_t{1} << (8 * length)) - 1);
    slots[slotCount++] =
        pieceShortId(scan.names, shortNameKey(bytes, length), std::string_view(at, length));
    ends[endCount] = static_cast<std::uint32_t>(slotCount);
    endCount += comma ? 0 : 1;
    // Not plain either, once the name is taken as the line-by-line read takes it too: a line
    // without a minus, and a skipped byte that could end a name.
    const char skipped = fieldEnd[1];
    const bool skipsDelimiter = skipped == ',' || skipped == '-' || skipped == '\n';
    if ((lineFeed & onLeft) | (minus & skipsDelimiter)) break;
    arrow = minus ? static_cast<std::size_t>(fieldEnd - lineStart) : arrow;
    onLeft = lineFeed || (onLeft && !minus);
    at = fieldEnd + (minus ? 2 : 1);  // the byte after the minus is skipped unseen
    lineStart = lineFeed ? at : lineStart;
    keptSlots = lineFeed ? slotCount : keptSlots;
    keptEnds = lineFeed ? endCount : keptEnds;
    keptArrow = lineFeed ? arrow : keptArrow;
    lines += lineFeed ? 1 : 0;
  }
  handOver(scan.sides, slots, keptSlots, ends, keptEnds);
  arrowPosition = keptArrow;
  entries += lines;
  return lineStart;
}

}  // namespace fdpreserve
