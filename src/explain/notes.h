#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "explain/loaded_input.h"

namespace fdpreserve::explain {

/// What a note is about. All up to the two on a large input are about the lines of the input;
/// those two say what the report left out of a large input; the two after them why the join's
/// answers or its tableau were left out; the last three what the report on each subschema says
/// beside it.
enum class NoteKind : std::uint8_t {
  kBlankAtNameEdge,
  kNamesAfterGap,
  kNoArrow,
  kByteAfterMinusSkipped,
  kSecondArrow,
  kArrowInSubschema,
  kNoEmptyLine,
  kCtrlZ,
  kNotInAnySubschema,
  kEmptyLeftSide,
  kCaseOrBlankTwin,
  kByteOrderMark,
  kArrowLookalike,
  kBlankSeparator,
  kVerdictLine,
  kFinalEmptyEntry,
  kTextbookSkipped,
  kTracesCut,
  kLosslessSkipped,
  kTableauCut,
  kProjectionCut,         ///< what a subschema keeps, its keys or normal form not worked out
  kCoverCut,              ///< the minimal cover not worked out
  kRulesPartOnSubschema,  ///< this tool's rule gives a subschema other keys or another form
};
inline constexpr std::size_t kNoteKindCount = 23;

/// The stable name of a kind, as the reports give it ("blank-at-name-edge", ...).
std::string_view noteKindName(NoteKind kind);

/// One note: its line (0 when it is about the whole input rather than a line), kind and words.
struct Note {
  std::uint64_t line = 0;
  NoteKind kind = NoteKind::kBlankAtNameEdge;
  std::string message;
};

using NoteSink = std::function<void(const Note&)>;

/// Calls `emit` with every note on the lines of the input in `state`, in line order, its message
/// in `language`. Reads the lines again with the reader's own line reading; takes time linear in
/// the input.
void forEachLineNote(const LoadedInput& input, Language language, const NoteSink& emit);

/// Appends the names of `row`, as the text report shows them, separated by ", ".
void appendNames(std::string& out, std::span<const AttributeId> row, NameEncoding encoding);

}  // namespace fdpreserve::explain
