#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string_view>
#include <vector>

#include "model/dependency_lines.h"
#include "model/slot_table.h"
#include "platform/threads.h"

namespace fdpreserve {

/// A run of whole dependency lines, and, when it was read apart from the tables, what it holds.
struct DependencyPiece {
  std::string_view lines;
  bool lastOfSection = false;  ///< the piece that ends the input, where a final read takes an entry
  bool apart = false;          ///< read into `sides` with `names`, to be joined to the tables
  SlotTable sides;
  PieceNames names;
  std::size_t entries = 0;     ///< what the piece's lines yield: counted when cut, then read
  std::size_t slots = 0;       ///< slots they are given room for, a line feed and a comma each
  std::size_t arrowAfter = 0;  ///< where the latest minus stood at the piece's end
};

/// What the latest search for the arrow position before a piece from the back found.
struct ArrowFound {
  std::size_t searchedFrom = std::string_view::npos;  ///< where it began, back from; npos: none yet
  std::size_t minus = std::string_view::npos;  ///< the last minus before there, or npos: none
  std::size_t arrow = 0;                       ///< where the first minus of that line stood
};

/// The dependency lines cut at line feeds into pieces that two threads can read at once. The
/// pieces taken from the front go into the tables as they are read; those taken from the back are
/// read apart, and join the tables in order once every piece is read. Meanwhile the names known
/// before the dependency lines stay as they are, and every piece looks them up there.
struct DependencyPieces {
  std::mutex claims;
  std::condition_variable_any cut;  ///< tells a waiting thread that the pieces are there
  bool ready = false;               ///< the pieces are cut, or there are none
  std::vector<DependencyPiece> pieces;
  std::size_t front = 0;       ///< the next piece from the front
  std::size_t back = 0;        ///< one past the next piece from the back
  PieceNames frontNames;       ///< the names the pieces from the front add
  std::size_t arrowAtCut = 0;  ///< where the latest minus stood before the first piece
  std::size_t frontArrow = 0;  ///< where it stands after the latest piece from the front
  ArrowFound arrowFound;       ///< for the pieces from the back only
};

/// Cuts what the input holds after the subschemas into pieces of about `pieceBytes` bytes, makes
/// room for them in the dependency table, and lets the pieces be taken; `arrowPosition` is where
/// the latest minus stood before them. An input whose end the subschemas reached has no
/// dependency lines, and no piece.
void cutDependencyPieces(DependencyPieces& pieces, std::size_t pieceBytes,
                         std::size_t arrowPosition);

/// Reads the next piece from the front into the tables; false when none is left.
bool readFrontPiece(DependencyPieces& pieces);

/// Reads the next piece from the back apart, once the pieces are cut; false when none is left or
/// `stop` was asked for first.
bool readBackPiece(DependencyPieces& pieces, const StopToken& stop);

/// Joins the pieces read apart to the tables, in order, with their names numbered as one read
/// from the first line to the last numbers them; sets the dependency count and leaves the input at
/// its end, as the line-by-line reads would. Every piece has been read, and no thread reads any.
/// Returns where the latest minus stood after the last line.
std::size_t joinDependencyPieces(DependencyPieces& pieces);

}  // namespace fdpreserve
