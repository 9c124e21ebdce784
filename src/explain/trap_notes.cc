#include <optional>

#include "explain/line_traps.h"
#include "explain/note_scan.h"
#include "explain/text_parts.h"
#include "model/analysis_state.h"

namespace fdpreserve::explain {

void noteBlankLine(NoteScan& scan, std::string_view text, const std::string& read) {
  say(scan, NoteKind::kBlankSeparator,
      countedPhrase(scan.language, "note.blank-separator", text.size(),
                    {{"count", std::to_string(text.size())}, {"read", read}}));
}

void noteLookalike(NoteScan& scan, std::string_view text,
                   const std::function<std::string()>& read) {
  if (!scan.anyLookalike) return;
  const std::optional<ArrowLookalike> found = findArrowLookalike(text, scan.input.encoding);
  if (!found) return;
  say(scan, NoteKind::kArrowLookalike,
      words(scan, "note.arrow-lookalike",
            {{"lookalike", describeLookalike(*found, scan.language)}, {"read", read()}}));
}

void noteVerdictLine(NoteScan& scan, std::string_view text) {
  bool preserving = false;
  const VerdictSpelling spelling = verdictSpellingOf(text, preserving);
  if (spelling == VerdictSpelling::kNone) return;
  say(scan, NoteKind::kVerdictLine,
      words(scan,
            spelling == VerdictSpelling::kAsWritten ? "note.verdict-line.as-written"
                                                    : "note.verdict-line.utf-8",
            {{"verdict", hungarianVerdict(preserving)}}));
}

void noteByteOrderMark(NoteScan& scan) {
  const ByteOrderMark mark = byteOrderMarkOf(state.inputFile.content);
  if (mark == ByteOrderMark::kNone) return;
  scan.line = 1;
  if (mark == ByteOrderMark::kUtf8) {
    // The first line holds the mark, so it is a subschema, and its first name holds the mark.
    const SlotRow first = rowAt(state.decomposition.rows, 0);
    say(scan, NoteKind::kByteOrderMark,
        words(scan, "note.byte-order-mark.utf-8",
              {{"name", first.empty() ? std::string() : nameOfId(scan, first.front())}}));
    return;
  }
  say(scan, NoteKind::kByteOrderMark,
      words(scan, "note.byte-order-mark.utf-16",
            {{"bytes", mark == ByteOrderMark::kUtf16LittleEndian ? "FF FE" : "FE FF"}}));
}

}  // namespace fdpreserve::explain
