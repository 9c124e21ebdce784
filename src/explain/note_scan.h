#pragma once

// The notes pass's own record and the pieces its files share: notes.cc reads the lines and notes
// what the names and the arrows came to; trap_notes.cc notes the traps new users fall into.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "explain/catalogue.h"
#include "explain/notes.h"

namespace fdpreserve::explain {

/// What the notes pass knows of every name, and where it stands in the file.
struct NoteScan {
  const LoadedInput& input;
  Language language;
  const NoteSink& emit;
  std::vector<std::uint8_t> blankAtEdge{};  ///< per id
  std::vector<std::uint8_t> inSubschema{};  ///< per id: some subschema holds it
  std::vector<AttributeId> twinOf{};        ///< per id: the name read first that it twins
  std::vector<std::uint64_t> firstLine{};   ///< per id: the line it first appears on, once seen
  // What the input holds at all: a clean input of millions of lines skips each search.
  bool anyBlankAtEdge = false;
  bool anyGap = false;
  bool anyTwin = false;
  bool anyHomeless = false;
  bool anyLookalike = false;
  std::uint64_t firstBlankLine = 0;  ///< the first subschema line of only blanks or tabs; 0: none
  std::vector<AttributeId> found{};  ///< the names one search found on a line
  AttributeId lastSeen = kFreeSlot;  ///< ids grow as names first appear: the highest so far
  std::size_t arrowPosition = 0;     ///< as the reader keeps it
  std::uint64_t arrowLine = 0;       ///< the line that set it; 0 for none
  std::uint64_t line = 0;
};

/// Emits a note of `kind` on the line the scan stands on.
void say(const NoteScan& scan, NoteKind kind, std::string message);

/// The note's text of `key`, in the report's language.
std::string words(const NoteScan& scan, std::string_view key,
                  std::initializer_list<Fill> fills = {});

/// The names of `ids` as the report shows them, separated by ", ".
std::string namesOf(const NoteScan& scan, std::span<const AttributeId> ids);

/// The name of one attribute as the report shows it.
std::string nameOfId(const NoteScan& scan, AttributeId id);

/// The names of `ids`, or "nothing" for none.
std::string namesOrNothing(const NoteScan& scan, std::span<const AttributeId> ids);

/// Notes a byte order mark at the start of the file, which the reader takes as part of the first
/// name; on line 1.
void noteByteOrderMark(NoteScan& scan);

/// Notes a line of only blanks or tabs, which looks empty and is not; `read` says what it became.
void noteBlankLine(NoteScan& scan, std::string_view text, const std::string& read);

/// Notes a look-alike of the arrow on the line, and what the line became, as `read` words it:
/// called only for a line that has one, since naming every line's names would cost a clean
/// file of millions of lines a string each.
void noteLookalike(NoteScan& scan, std::string_view text, const std::function<std::string()>& read);

/// Notes a line that is fdpreserve's own verdict: the input is probably an output.
void noteVerdictLine(NoteScan& scan, std::string_view text);

}  // namespace fdpreserve::explain
