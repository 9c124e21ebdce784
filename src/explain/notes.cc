#include "explain/notes.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "analysis/tables_in_use.h"
#include "driver/line_reader.h"
#include "explain/line_traps.h"
#include "explain/name_twins.h"
#include "explain/note_scan.h"

namespace fdpreserve::explain {

void say(const NoteScan& scan, NoteKind kind, std::string message) {
  scan.emit(Note{.line = scan.line, .kind = kind, .message = std::move(message)});
}

std::string words(const NoteScan& scan, std::string_view key, std::initializer_list<Fill> fills) {
  return phrase(scan.language, key, fills);
}

std::string namesOf(const NoteScan& scan, std::span<const AttributeId> ids) {
  std::string out;
  appendNames(out, ids, scan.input.encoding);
  return out;
}

std::string nameOfId(const NoteScan& scan, AttributeId id) {
  return namesOf(scan, std::span<const AttributeId>(&id, 1));
}

std::string namesOrNothing(const NoteScan& scan, std::span<const AttributeId> ids) {
  return ids.empty() ? words(scan, "names.nothing") : namesOf(scan, ids);
}

namespace {

constexpr std::array<std::string_view, kNoteKindCount> kKindNames{
    "blank-at-name-edge",
    "names-after-gap",
    "no-arrow",
    "byte-after-minus-skipped",
    "second-arrow",
    "arrow-in-subschema",
    "no-empty-line",
    "ctrl-z",
    "not-in-any-subschema",
    "empty-left-side",
    "case-or-blank-twin",
    "byte-order-mark",
    "arrow-lookalike",
    "blank-separator",
    "verdict-line",
    "final-empty-entry",
    "textbook-skipped",
    "traces-cut",
    "lossless-skipped",
    "tableau-cut",
    "projection-cut",
    "cover-cut",
    "rules-part-on-subschema",
};

/// The names of `row` for which `pick` holds, each once, into `scan.found`.
template <typename Pick>
void findNames(NoteScan& scan, std::span<const AttributeId> row, Pick pick) {
  scan.found.clear();
  for (const AttributeId a : row) {
    if (pick(a) && std::find(scan.found.begin(), scan.found.end(), a) == scan.found.end()) {
      scan.found.push_back(a);
    }
  }
}

/// Notes of the names a row stores: blanks at their edges (unless the line is only blanks, which
/// has a note of its own), a gap, and a twin's first appearance. `where` is a catalogue key.
void noteRow(NoteScan& scan, SlotRow row, std::string_view where, bool blankLine) {
  if (scan.anyBlankAtEdge && !blankLine) {
    findNames(scan, row, [&](AttributeId a) { return scan.blankAtEdge[a] != 0; });
    if (!scan.found.empty()) {
      say(scan, NoteKind::kBlankAtNameEdge,
          countedPhrase(scan.language, "note.blank-at-name-edge", scan.found.size(),
                        {{"where", words(scan, where)}, {"names", namesOf(scan, scan.found)}}));
    }
  }
  const auto gap = scan.anyGap ? std::find(row.begin(), row.end(), kFreeSlot) : row.end();
  if (gap != row.end()) {
    findNames(scan, row.subspan(static_cast<std::size_t>(gap - row.begin())),
              [](AttributeId a) { return a != kFreeSlot; });
    say(scan, NoteKind::kNamesAfterGap,
        words(scan, "note.names-after-gap",
              {{"where", words(scan, where)}, {"names", namesOf(scan, scan.found)}}));
  }
  if (!scan.anyTwin) return;
  for (const AttributeId a : row) {
    if (a <= scan.lastSeen) continue;
    scan.lastSeen = a;  // ids are given in the order names first appear
    scan.firstLine[a] = scan.line;
    const AttributeId twin = scan.twinOf[a];
    if (twin == kFreeSlot) continue;
    say(scan, NoteKind::kCaseOrBlankTwin,
        words(scan, "note.case-or-blank-twin",
              {{"name", nameOfId(scan, a)},
               {"twin", nameOfId(scan, twin)},
               {"line", std::to_string(scan.firstLine[twin])}}));
  }
}

std::string quotedByte(const NoteScan& scan, char byte) {
  std::string shown;
  if (static_cast<unsigned char>(byte) < 0x80 || scan.input.encoding == NameEncoding::kIso88592) {
    appendVisibleName(shown, std::string_view(&byte, 1), scan.input.encoding);
  } else {
    shown = words(scan, "note.byte-of-longer-character");
  }
  return shown;
}

void noteSubschemaLine(NoteScan& scan, std::size_t row, std::string_view text) {
  const bool blank = isBlankLine(text);
  const SlotRow stored = rowAt(state.decomposition.rows, row);
  noteRow(scan, stored, "note.where.subschema", blank);
  if (blank) {
    if (scan.firstBlankLine == 0) scan.firstBlankLine = scan.line;
    noteBlankLine(scan, text,
                  words(scan,
                        scan.input.hasEmptyLine ? "note.blank-separator.subschema"
                                                : "note.blank-separator.no-empty-line",
                        {{"names", namesOf(scan, attributesOf(stored))}}));
  }
  if (text.find("->") != std::string_view::npos) {
    say(scan, NoteKind::kArrowInSubschema, words(scan, "note.arrow-in-subschema"));
  }
  noteLookalike(scan, text, [&] {
    return words(scan, "note.read-as-subschema",
                 {{"names", namesOrNothing(scan, subschemaAttributes(row))}});
  });
  noteVerdictLine(scan, text);
}

/// The notes that only the bytes of a dependency line show: its minus and what came of it.
void noteArrow(NoteScan& scan, std::size_t entry, std::string_view text) {
  const std::size_t minus = text.find('-');
  if (minus == std::string_view::npos) {
    if (text.empty()) return;  // an empty line: a dependency that always holds
    const std::string left = namesOrNothing(scan, leftAttributes(entry));
    const std::string right = namesOrNothing(scan, rightAttributes(entry));
    say(scan, NoteKind::kNoArrow,
        scan.arrowLine == 0 ? words(scan, "note.no-arrow.first", {{"left", left}, {"right", right}})
                            : words(scan, "note.no-arrow",
                                    {{"left", left},
                                     {"right", right},
                                     {"byte", std::to_string(scan.arrowPosition + 3)},
                                     {"line", std::to_string(scan.arrowLine)}}));
    return;
  }
  scan.arrowPosition = minus;
  scan.arrowLine = scan.line;
  const std::string at = std::to_string(minus + 1);
  if (minus + 1 == text.size()) {
    say(scan, NoteKind::kByteAfterMinusSkipped,
        words(scan, "note.byte-after-minus-skipped.end", {{"byte", at}}));
  } else if (text[minus + 1] != '>') {
    say(scan, NoteKind::kByteAfterMinusSkipped,
        words(scan, "note.byte-after-minus-skipped",
              {{"byte", at}, {"shown", quotedByte(scan, text[minus + 1])}}));
  }
  if (minus + 2 < text.size() && text.substr(minus + 2).find("->") != std::string_view::npos) {
    say(scan, NoteKind::kSecondArrow,
        words(scan, "note.second-arrow",
              {{"right", namesOrNothing(scan, rightAttributes(entry))}}));
  }
}

void noteDependencyLine(NoteScan& scan, std::size_t entry, std::string_view text) {
  const bool blank = isBlankLine(text);
  noteArrow(scan, entry, text);
  noteRow(scan, leftSide(state.dependencies, entry), "note.where.left", blank);
  noteRow(scan, rightSide(state.dependencies, entry), "note.where.right", blank);
  const SlotRow left = leftAttributes(entry);
  const SlotRow right = rightAttributes(entry);
  const auto sides = [&](std::string_view key) {
    return words(scan, key,
                 {{"left", namesOrNothing(scan, left)}, {"right", namesOrNothing(scan, right)}});
  };
  if (blank) noteBlankLine(scan, text, sides("note.blank-separator.dependency"));
  noteLookalike(scan, text, [&] { return sides("note.read-as-dependency"); });
  noteVerdictLine(scan, text);
  if (scan.anyHomeless) {
    const auto homeless = [&](AttributeId a) { return scan.inSubschema[a] == 0; };
    findNames(scan, left, homeless);
    for (const AttributeId a : right) {
      if (homeless(a) && std::find(scan.found.begin(), scan.found.end(), a) == scan.found.end()) {
        scan.found.push_back(a);
      }
    }
    if (!scan.found.empty()) {
      say(scan, NoteKind::kNotInAnySubschema,
          words(scan, "note.not-in-any-subschema", {{"names", namesOf(scan, scan.found)}}));
    }
  }
  if (left.empty() && !right.empty()) {
    say(scan, NoteKind::kEmptyLeftSide, words(scan, "note.empty-left-side"));
  }
}

NoteScan startScan(const LoadedInput& input, Language language, const NoteSink& emit) {
  const std::size_t ids = attributeIds();
  NoteScan scan{.input = input, .language = language, .emit = emit};
  scan.blankAtEdge.assign(ids, 0);
  for (AttributeId id = 1; id < ids; ++id) {
    scan.blankAtEdge[id] = hasBlankAtEdge(nameOf(state.attributeNames, id)) ? 1 : 0;
    scan.anyBlankAtEdge = scan.anyBlankAtEdge || scan.blankAtEdge[id] != 0;
  }
  scan.inSubschema.assign(ids, 0);
  for (std::size_t r = 0; r < subschemasInUse(); ++r) {
    for (const AttributeId a : subschemaAttributes(r)) scan.inSubschema[a] = 1;
  }
  scan.anyHomeless = std::count(scan.inSubschema.begin(), scan.inSubschema.end(), 0) > 1;
  scan.anyGap =
      state.decomposition.rows.hasInnerFreeSlots || state.dependencies.sides.hasInnerFreeSlots;
  scan.twinOf = findTwins(input.encoding);
  scan.anyTwin = std::any_of(scan.twinOf.begin(), scan.twinOf.end(),
                             [](AttributeId twin) { return twin != kFreeSlot; });
  if (scan.anyTwin) scan.firstLine.assign(ids, 0);
  scan.anyLookalike = mayHoldArrowLookalike(state.inputFile.content, input.encoding);
  return scan;
}

}  // namespace

std::string_view noteKindName(NoteKind kind) {
  return kKindNames[static_cast<std::size_t>(kind)];
}

void appendNames(std::string& out, std::span<const AttributeId> row, NameEncoding encoding) {
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i > 0) out += ", ";
    appendVisibleName(out, nameOf(state.attributeNames, row[i]), encoding);
  }
}

void forEachLineNote(const LoadedInput& input, Language language, const NoteSink& emit) {
  NoteScan scan = startScan(input, language, emit);
  noteByteOrderMark(scan);
  // The lines again, read as the reader read them: one read a subschema, the empty line, then
  // one read a dependency entry.
  reopenInput(state.inputFile);
  for (std::size_t r = 0; r < subschemasInUse(); ++r) {
    readLine();
    scan.line = subschemaLine(r);
    noteSubschemaLine(scan, r, state.lineBuffer);
  }
  if (!input.hasEmptyLine) {
    scan.line = subschemaLine(subschemasInUse());
    say(scan, NoteKind::kNoEmptyLine,
        subschemasInUse() == 0     ? words(scan, "note.no-empty-line.empty-file")
        : scan.firstBlankLine == 0 ? words(scan, "note.no-empty-line")
                                   : words(scan, "note.no-empty-line.blank",
                                           {{"line", std::to_string(scan.firstBlankLine)}}));
  } else {
    readLine();
  }
  for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
    readLine();
    scan.line = dependencyLine(d);
    noteDependencyLine(scan, d, state.lineBuffer);
  }
  if (input.bytesAfterContent > 0) {
    const std::string_view content = state.inputFile.content;
    scan.line = 1 + static_cast<std::uint64_t>(std::count(content.begin(), content.end(), '\n'));
    const std::size_t ignored = input.bytesAfterContent - 1;
    say(scan, NoteKind::kCtrlZ,
        countedPhrase(language, "note.ctrl-z", ignored, {{"count", std::to_string(ignored)}}));
  }
  if (input.finalEmptyEntry) {
    // On the same line as a Ctrl-Z right after the final line feed, and so after its note.
    scan.line = dependencyLine(dependenciesInUse() - 1);
    say(scan, NoteKind::kFinalEmptyEntry, words(scan, "note.final-empty-entry"));
  }
}

}  // namespace fdpreserve::explain
