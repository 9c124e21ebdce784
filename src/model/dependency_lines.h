#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/name_pool.h"
#include "model/slot_table.h"

namespace fdpreserve {

/// The names a piece of the dependency lines is read with while another thread may read another
/// piece: the names known before the dependency lines, which nothing changes meanwhile, and the
/// names the piece adds, numbered on past the known ones in the order they first appear in it.
/// Where the known names are few, `added` starts as a copy of them, and one lookup finds either.
struct PieceNames {
  const NamePool* known = nullptr;  ///< looked up first; none when `added` holds a copy of them
  NamePool added;
  AttributeId firstAdded = 1;   ///< the piece's id of the first name it adds
  AttributeId addedOffset = 0;  ///< the piece's id of a name in `added` less its id there
};

/// Starts the names of a piece read beside `known`, which stays as it is until the piece is
/// joined to it.
void startPieceNames(PieceNames& names, const NamePool& known);

/// Gives `known` the names of a piece that was read first after it, whose ids are then the ones
/// the piece gave; `known` has not changed since the piece's names were started.
void keepFirstPieceNames(NamePool& known, PieceNames& names);

/// The piece's id of the short name `name`, whose key is `key`, adding it when new. Inline: the
/// reader calls it for nearly every field.
inline AttributeId pieceShortId(PieceNames& names, std::uint64_t key, std::string_view name) {
  if (names.known != nullptr) {
    const AttributeId known = findShortName(*names.known, key);
    if (known != kFreeSlot) return known;
  }
  return names.addedOffset + internShortName(names.added, key, name);
}

/// The piece's id of `name`, of any length, adding it when new; the empty name is `kFreeSlot`.
AttributeId pieceId(PieceNames& names, std::string_view name);

/// The name the piece numbered `id`, one it added.
inline std::string_view addedName(const PieceNames& names, AttributeId id) {
  return nameOf(names.added, id - names.addedOffset);
}

/// One past the last id the piece gave.
inline AttributeId pieceIdsEnd(const PieceNames& names) {
  return static_cast<AttributeId>(nameCount(names.added)) + names.addedOffset;
}

/// Reads the dependency lines `lines` into `sides`, for each line its left side and then its right
/// side as rows, with the ids of `names`, and returns how many entries it read. Every line that
/// ends in a line feed is an entry; when `lastOfSection`, what follows the last line feed is one
/// more, even when empty. `arrowPosition` is where the minus of the latest line that had one stood,
/// carried in and out: a line without a minus takes its right side from there. Memory up to
/// `readableEnd` may be read past `lines`, never used.
std::size_t readDependencyLines(SlotTable& sides, PieceNames& names, std::string_view lines,
                                const char* readableEnd, bool lastOfSection,
                                std::size_t& arrowPosition);

}  // namespace fdpreserve
