#include "model/dependency_pieces.h"

#include <algorithm>
#include <span>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "model/analysis_state.h"

namespace fdpreserve {
namespace {

/// What a piece is given room for: one entry a line feed, and the final read for the last piece;
/// two rows an entry; and one slot a row, and one more for each comma. A line without a minus can
/// take more, taking its right side from its own bytes again: the table grows then.
struct RoomNeeded {
  std::size_t entries = 0;
  std::size_t slots = 0;
};

/// Line feeds and commas among `bytes`, counted in one pass.
std::pair<std::size_t, std::size_t> lineFeedsAndCommas(std::string_view bytes) {
  std::size_t lineFeeds = 0;
  std::size_t commas = 0;
  std::size_t at = 0;
#if defined(__SSE2__)
  // Sixteen bytes a step, counted in bytes that each take up to 255 steps before they are summed.
  const __m128i lineFeed = _mm_set1_epi8('\n');
  const __m128i comma = _mm_set1_epi8(',');
  const __m128i zero = _mm_setzero_si128();
  constexpr std::size_t kStep = 16;
  while (bytes.size() - at >= kStep) {
    __m128i lineFeedCounts = zero;
    __m128i commaCounts = zero;
    for (unsigned steps = 0; steps < 255 && bytes.size() - at >= kStep; ++steps, at += kStep) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + at));
      lineFeedCounts = _mm_sub_epi8(lineFeedCounts, _mm_cmpeq_epi8(block, lineFeed));
      commaCounts = _mm_sub_epi8(commaCounts, _mm_cmpeq_epi8(block, comma));
    }
    const auto sum = [&](__m128i counts) {
      const __m128i sums = _mm_sad_epu8(counts, zero);
      return static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
             static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    };
    lineFeeds += sum(lineFeedCounts);
    commas += sum(commaCounts);
  }
#endif
  for (; at < bytes.size(); ++at) {
    lineFeeds += bytes[at] == '\n' ? 1U : 0U;
    commas += bytes[at] == ',' ? 1U : 0U;
  }
  return {lineFeeds, commas};
}

/// Counts what `piece` needs.
RoomNeeded roomFor(const DependencyPiece& piece) {
  const auto [lineFeeds, commas] = lineFeedsAndCommas(piece.lines);
  const std::size_t entries = lineFeeds + (piece.lastOfSection ? 1 : 0);
  return {entries, 2 * entries + commas};
}

/// Where the minus of the latest line before piece `p` that has one stood, or where it stood when
/// the pieces were cut, when no line before has one. Pieces from the back come in descending
/// order: what the search for one found serves the next while it lies before it, so that all the
/// searches together pass each byte at most once.
std::size_t arrowBefore(DependencyPieces& pieces, std::size_t p) {
  const char* const sectionBegin = pieces.pieces.front().lines.data();
  const auto pieceBegin = static_cast<std::size_t>(pieces.pieces[p].lines.data() - sectionBegin);
  ArrowFound& found = pieces.arrowFound;
  if (found.searchedFrom != std::string_view::npos && pieceBegin <= found.searchedFrom &&
      (found.minus == std::string_view::npos || found.minus < pieceBegin)) {
    return found.minus == std::string_view::npos ? pieces.arrowAtCut : found.arrow;
  }
  const std::string_view before(sectionBegin, pieceBegin);
  found.searchedFrom = pieceBegin;
  found.minus = before.rfind('-');
  if (found.minus == std::string_view::npos) return pieces.arrowAtCut;
  const std::size_t lineFeed = before.rfind('\n', found.minus);
  const std::size_t lineBegin = lineFeed == std::string_view::npos ? 0 : lineFeed + 1;
  found.arrow = before.find('-', lineBegin) - lineBegin;  // the first minus of that line counts
  return found.arrow;
}

const char* contentEnd() {
  const std::string_view content = state.inputFile.content;
  return content.data() + content.size();
}

/// Joins a piece read apart to the dependency table, with each name it added numbered as in one
/// read from the first line: known already, or new after every name before it.
void joinPiece(DependencyPiece& piece, std::vector<AttributeId>& idOfAdded) {
  const PieceNames& names = piece.names;
  idOfAdded.clear();
  bool same = true;
  for (AttributeId id = names.firstAdded; id < pieceIdsEnd(names); ++id) {
    idOfAdded.push_back(internName(state.attributeNames, addedName(names, id)));
    same = same && idOfAdded.back() == id;
  }
  const AttributeId firstAdded = names.firstAdded;
  SlotTable& table = state.dependencies.sides;
  const std::size_t offset = table.slots.size();
  table.slots.insert(table.slots.end(), piece.sides.slots.begin(), piece.sides.slots.end());
  if (!same) {
    for (AttributeId& id : std::span(table.slots).subspan(offset)) {
      if (id >= firstAdded) id = idOfAdded[id - firstAdded];
    }
  }
  const std::size_t end = table.slots.size();
  if (piece.sides.wrapRows.empty() && std::uint64_t{end} >> 32U == std::uint64_t{offset} >> 32U) {
    const auto base = static_cast<std::uint32_t>(offset);  // no multiple of 2^32 is passed
    for (const std::uint32_t rowEnd : piece.sides.rowEnds) table.rowEnds.push_back(base + rowEnd);
  } else {
    for (std::size_t row = 0; row < piece.sides.rowEnds.size(); ++row) {
      recordRowEnd(table, offset + rowEnd(piece.sides, row));
    }
  }
  table.hasInnerFreeSlots = table.hasInnerFreeSlots || piece.sides.hasInnerFreeSlots;
}

}  // namespace

void cutDependencyPieces(DependencyPieces& pieces, std::size_t pieceBytes,
                         std::size_t arrowPosition) {
  std::vector<DependencyPiece> cut;
  const InputFile& input = state.inputFile;
  if (!input.eofMark) {
    const std::string_view content = input.content;
    const std::string_view section = content.substr(std::min(input.position, content.size()));
    std::size_t entries = 0;
    std::size_t slots = 0;
    for (std::size_t begin = 0;;) {
      DependencyPiece& piece = cut.emplace_back();
      const std::size_t lineFeed = section.size() - begin <= pieceBytes
                                       ? std::string_view::npos
                                       : section.find('\n', begin + pieceBytes - 1);
      piece.lastOfSection = lineFeed == std::string_view::npos;
      piece.lines =
          section.substr(begin, piece.lastOfSection ? section.size() : lineFeed + 1 - begin);
      const RoomNeeded room = roomFor(piece);
      piece.entries = room.entries;
      piece.slots = room.slots;
      entries += room.entries;
      slots += room.slots;
      if (piece.lastOfSection) break;
      begin = lineFeed + 1;
    }
    reserveRows(state.dependencies.sides, 2 * entries, slots);
  }
  {
    const std::scoped_lock lock(pieces.claims);
    pieces.pieces = std::move(cut);
    pieces.front = 0;
    pieces.back = pieces.pieces.size();
    startPieceNames(pieces.frontNames, state.attributeNames);
    pieces.arrowAtCut = arrowPosition;
    pieces.frontArrow = arrowPosition;
    pieces.arrowFound = ArrowFound();
    pieces.ready = true;
  }
  pieces.cut.notify_all();
}

bool readFrontPiece(DependencyPieces& pieces) {
  std::size_t p = 0;
  {
    const std::scoped_lock lock(pieces.claims);
    if (pieces.front == pieces.back) return false;
    p = pieces.front++;
  }
  DependencyPiece& piece = pieces.pieces[p];
  piece.entries = readDependencyLines(state.dependencies.sides, pieces.frontNames, piece.lines,
                                      contentEnd(), piece.lastOfSection, pieces.frontArrow);
  return true;
}

bool readBackPiece(DependencyPieces& pieces, const StopToken& stop) {
  std::size_t p = 0;
  {
    std::unique_lock lock(pieces.claims);
    if (!waitUnlessStopped(pieces.cut, lock, stop, [&] { return pieces.ready; })) return false;
    if (stop.stop_requested() || pieces.front == pieces.back) return false;
    p = --pieces.back;
  }
  DependencyPiece& piece = pieces.pieces[p];
  piece.apart = true;
  startPieceNames(piece.names, state.attributeNames);
  reserveRows(piece.sides, 2 * piece.entries, piece.slots);
  piece.arrowAfter = arrowBefore(pieces, p);
  piece.entries = readDependencyLines(piece.sides, piece.names, piece.lines, contentEnd(),
                                      piece.lastOfSection, piece.arrowAfter);
  return true;
}

std::size_t joinDependencyPieces(DependencyPieces& pieces) {
  if (pieces.pieces.empty()) return pieces.arrowAtCut;
  const char* const sectionBegin = pieces.pieces.front().lines.data();
  const std::string_view lastLines = pieces.pieces.back().lines;
  const std::string_view section(
      sectionBegin, static_cast<std::size_t>(lastLines.data() + lastLines.size() - sectionBegin));
  const std::size_t arrowPosition =
      pieces.pieces.back().apart ? pieces.pieces.back().arrowAfter : pieces.frontArrow;
  keepFirstPieceNames(state.attributeNames, pieces.frontNames);
  std::vector<AttributeId> idOfAdded;
  for (DependencyPiece& piece : pieces.pieces) {
    state.dependencyCount += static_cast<std::int64_t>(piece.entries);
    if (!piece.apart) continue;
    joinPiece(piece, idOfAdded);
    piece.sides = SlotTable();  // its memory goes back at once
    piece.names = PieceNames();
  }
  // The input is left as the reads leave it: at its end, the last line read in the buffer, and a
  // read that found nothing when the last line was the empty one after a final line feed.
  const std::size_t lastLineFeed = section.rfind('\n');
  state.lineBuffer =
      lastLineFeed == std::string_view::npos ? section : section.substr(lastLineFeed + 1);
  InputFile& input = state.inputFile;
  input.position = input.content.size();
  input.eofMark = true;
  input.failMark = state.lineBuffer.empty();
  return arrowPosition;
}

}  // namespace fdpreserve
