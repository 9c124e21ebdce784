#include "explain/notes.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "analysis/tables_in_use.h"
#include "driver/line_reader.h"
#include "explain/name_twins.h"

namespace fdpreserve::explain {
namespace {

constexpr std::array<std::string_view, kNoteKindCount> kKindNames{
    "blank-at-name-edge",   "names-after-gap",    "no-arrow",           "byte-after-minus-skipped",
    "second-arrow",         "arrow-in-subschema", "no-empty-line",      "ctrl-z",
    "not-in-any-subschema", "empty-left-side",    "case-or-blank-twin", "textbook-skipped",
    "traces-cut",           "lossless-skipped",   "tableau-cut",
};

/// What the scan knows of every name, and where it stands in the file.
struct Scan {
  const LoadedInput& input;
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
  std::vector<AttributeId> found{};  ///< the names one search found on a line
  AttributeId lastSeen = kFreeSlot;  ///< ids grow as names first appear: the highest so far
  std::size_t arrowPosition = 0;     ///< as the reader keeps it
  std::uint64_t arrowLine = 0;       ///< the line that set it; 0 for none
  std::uint64_t line = 0;
};

void say(const Scan& scan, NoteKind kind, std::string message) {
  scan.emit(Note{.line = scan.line, .kind = kind, .message = std::move(message)});
}

std::string namesOf(const Scan& scan, std::span<const AttributeId> ids) {
  std::string out;
  appendNames(out, ids, scan.input.encoding);
  return out;
}

std::string nameOfId(const Scan& scan, AttributeId id) {
  return namesOf(scan, std::span<const AttributeId>(&id, 1));
}

/// "nothing" for no names.
std::string namesOrNothing(const Scan& scan, std::span<const AttributeId> ids) {
  return ids.empty() ? std::string("nothing") : namesOf(scan, ids);
}

/// Notes of the names a row stores: blanks at their edges, a gap, and a twin's first appearance.
/// The names of `row` for which `pick` holds, each once, into `scan.found`.
template <typename Pick>
void findNames(Scan& scan, std::span<const AttributeId> row, Pick pick) {
  scan.found.clear();
  for (const AttributeId a : row) {
    if (pick(a) && std::find(scan.found.begin(), scan.found.end(), a) == scan.found.end()) {
      scan.found.push_back(a);
    }
  }
}

void noteRow(Scan& scan, SlotRow row, std::string_view where) {
  if (scan.anyBlankAtEdge) {
    findNames(scan, row, [&](AttributeId a) { return scan.blankAtEdge[a] != 0; });
    if (!scan.found.empty()) {
      say(scan, NoteKind::kBlankAtNameEdge,
          std::string(where) + ": " + namesOf(scan, scan.found) +
              (scan.found.size() == 1 ? " begins or ends" : " begin or end") +
              " with a blank or a tab, which belongs to the name");
    }
  }
  const auto gap = scan.anyGap ? std::find(row.begin(), row.end(), kFreeSlot) : row.end();
  if (gap != row.end()) {
    findNames(scan, row.subspan(static_cast<std::size_t>(gap - row.begin())),
              [](AttributeId a) { return a != kFreeSlot; });
    say(scan, NoteKind::kNamesAfterGap,
        std::string(where) + ": a gap (a leading comma, or two in a row) leaves " +
            namesOf(scan, scan.found) + " after it, taking no part");
  }
  if (!scan.anyTwin) return;
  for (const AttributeId a : row) {
    if (a <= scan.lastSeen) continue;
    scan.lastSeen = a;  // ids are given in the order names first appear
    scan.firstLine[a] = scan.line;
    const AttributeId twin = scan.twinOf[a];
    if (twin == kFreeSlot) continue;
    say(scan, NoteKind::kCaseOrBlankTwin,
        nameOfId(scan, a) + " differs from " + nameOfId(scan, twin) + " (line " +
            std::to_string(scan.firstLine[twin]) +
            ") only in letter case or in blanks at its edges: they are two attributes");
  }
}

std::string quotedByte(const Scan& scan, char byte) {
  std::string shown;
  if (static_cast<unsigned char>(byte) < 0x80 || scan.input.encoding == NameEncoding::kIso88592) {
    appendVisibleName(shown, std::string_view(&byte, 1), scan.input.encoding);
  } else {
    shown = "a byte of a longer character";
  }
  return shown;
}

void noteSubschemaLine(Scan& scan, std::size_t row, std::string_view text) {
  noteRow(scan, rowAt(state.decomposition.rows, row), "subschema");
  if (text.find("->") != std::string_view::npos) {
    say(scan, NoteKind::kArrowInSubschema,
        "a subschema line holding \"->\": read as a subschema whose names are split only at "
        "commas; the empty line before the dependencies is probably missing");
  }
}

/// The notes that only the bytes of a dependency line show: its minus and what came of it.
void noteArrow(Scan& scan, std::size_t entry, std::string_view text) {
  const std::size_t minus = text.find('-');
  if (minus == std::string_view::npos) {
    if (text.empty()) return;  // an empty line: a dependency that always holds
    const std::string from =
        scan.arrowLine == 0 ? "from its third byte on, as no earlier dependency line had a minus"
                            : "from its byte " + std::to_string(scan.arrowPosition + 3) +
                                  " on, two after where the minus of line " +
                                  std::to_string(scan.arrowLine) + " stood";
    say(scan, NoteKind::kNoArrow,
        "no minus: the whole line is the left side (" +
            namesOrNothing(scan, leftAttributes(entry)) + "), and the right side was read " + from +
            " (" + namesOrNothing(scan, rightAttributes(entry)) + ")");
    return;
  }
  scan.arrowPosition = minus;
  scan.arrowLine = scan.line;
  const std::string at = "the minus at byte " + std::to_string(minus + 1);
  if (minus + 1 == text.size()) {
    say(scan, NoteKind::kByteAfterMinusSkipped, at + " ends the line: the right side is empty");
  } else if (text[minus + 1] != '>') {
    say(scan, NoteKind::kByteAfterMinusSkipped,
        at + " is followed by " + quotedByte(scan, text[minus + 1]) +
            " instead of >: that byte is skipped, and the right side starts after it");
  }
  if (minus + 2 < text.size() && text.substr(minus + 2).find("->") != std::string_view::npos) {
    say(scan, NoteKind::kSecondArrow,
        "a second \"->\" on the right side: only the first minus counts, so the right side is " +
            namesOrNothing(scan, rightAttributes(entry)));
  }
}

void noteDependencyLine(Scan& scan, std::size_t entry, std::string_view text) {
  noteArrow(scan, entry, text);
  noteRow(scan, leftSide(state.dependencies, entry), "left side");
  noteRow(scan, rightSide(state.dependencies, entry), "right side");
  const SlotRow left = leftAttributes(entry);
  const SlotRow right = rightAttributes(entry);
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
          "no subschema holds " + namesOf(scan, scan.found) +
              ": the passes never reach such a name; only a left side can hold it");
    }
  }
  if (left.empty() && !right.empty()) {
    say(scan, NoteKind::kEmptyLeftSide,
        "nothing on the left side: never preserved under this tool's rule (the textbook rule "
        "fires an empty left side at once)");
  }
}

Scan startScan(const LoadedInput& input, const NoteSink& emit) {
  const std::size_t ids = attributeIds();
  Scan scan{.input = input, .emit = emit};
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

void forEachLineNote(const LoadedInput& input, const NoteSink& emit) {
  Scan scan = startScan(input, emit);
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
        subschemasInUse() == 0
            ? "the file is empty: no subschemas and no dependencies"
            : "the file has no empty line: every line is a subschema, and there are no "
              "dependencies");
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
    say(scan, NoteKind::kCtrlZ,
        "the byte 1A (Ctrl-Z) ends the input here: it and the " +
            std::to_string(input.bytesAfterContent - 1) + " bytes after it are ignored");
  }
}

}  // namespace fdpreserve::explain
