#include "explain/text_report.h"

#include <array>
#include <vector>

#include "analysis/tables_in_use.h"
#include "explain/design_text.h"
#include "explain/notes.h"
#include "explain/text_parts.h"

namespace fdpreserve::explain {
namespace {

constexpr std::string_view kRules =
    "  This tool's rule fires a dependency as soon as any one of its left attributes is reached;"
    " the textbook rule only once all of them are.";

/// The notes the report lists, and how many of each kind there are.
struct NoteSummary {
  std::vector<Note> listed;
  std::array<std::size_t, kNoteKindCount> counts{};
  std::size_t total = 0;
};

NoteSummary gatherNotes(const TextContext& text) {
  NoteSummary summary;
  forEachLineNote(text.input, [&](const Note& note) {
    const auto kind = static_cast<std::size_t>(note.kind);
    if (summary.counts[kind]++ < text.limits.notesPerKind) summary.listed.push_back(note);
    ++summary.total;
  });
  return summary;
}

std::string textbookVerdict(const TextContext& text) {
  const RuleAnswers& answers = text.answers;
  if (answers.textbook == TextbookState::kDecided)
    return verdictText(text.options.language, preservingTextbook(answers));
  return "not computed: " + textbookSkipReason(answers.textbook);
}

void writeHeader(TextContext& text, const NoteSummary& notes, const DesignAnswers& design) {
  ReportSink& sink = text.sink;
  const RuleAnswers& answers = text.answers;
  putLine(sink, "== " + text.input.name);
  putLine(sink, "Verdict:        " + verdictText(text.options.language, preservingOurs(answers)) +
                    ", as fdpreserve decides");
  putLine(sink, "Textbook rule:  " + textbookVerdict(text));
  putLine(sink, kRules);
  if (text.options.decidingRule == ClosureRule::kAllLeftAttributes) {
    putLine(sink, "  The textbook rule decides the exit status (--rule=textbook).");
  }
  putLine(sink, joinHeaderLine(text, design.join));
  std::string counts = "Read: " + std::to_string(subschemasInUse()) + " subschemas, " +
                       std::to_string(dependenciesInUse()) + " dependency entries; " +
                       std::to_string(answers.ours.failedEntries.size()) + " not preserved";
  if (answers.textbook == TextbookState::kDecided) {
    counts += answers.parting.empty()
                  ? "; the two rules agree on every dependency"
                  : "; the two rules part on " + std::to_string(answers.parting.size());
  }
  putLine(sink, counts + "; " + std::to_string(notes.total) +
                    (notes.total == 1 ? " note on odd lines" : " notes on odd lines"));
}

void writeListings(TextContext& text) {
  ReportSink& sink = text.sink;
  endLine(sink);
  putLine(sink, "Subschemas");
  const std::size_t subschemas = subschemasInUse();
  for (std::size_t r = 0; r < subschemas && r < text.limits.rows; ++r) {
    putLine(sink, "  " + lineLabel(text, subschemaLine(r)) + "  " +
                      rowText(text, rowAt(state.decomposition.rows, r)));
  }
  if (subschemas == 0) putLine(sink, "  (none)");
  if (subschemas > text.limits.rows) {
    putLine(sink, "  ... and " + std::to_string(subschemas - text.limits.rows) +
                      " more (--all lists them)");
  }
  endLine(sink);
  putLine(sink, "Dependencies");
  const std::size_t entries = dependenciesInUse();
  const auto& failed = text.answers.ours.failedEntries;
  std::size_t nextFailure = 0;
  for (std::size_t d = 0; d < entries && d < text.limits.rows; ++d) {
    const bool preserved = nextFailure == failed.size() || failed[nextFailure] != d;
    if (!preserved) ++nextFailure;
    std::string row = "  " + lineLabel(text, dependencyLine(d)) +
                      (preserved ? "  preserved      " : "  NOT preserved  ") +
                      dependencyText(text, d);
    if (!preserved) {
      row += "  (missing " +
             nameList(text, missingAttributes(text.answers.ours, d), text.limits.names) + ")";
    }
    if (text.answers.textbook == TextbookState::kDecided &&
        text.answers.textbookPreserved[d] != preserved) {
      row += text.answers.textbookPreserved[d] ? "  [textbook rule: preserved]"
                                               : "  [textbook rule: not preserved]";
    }
    putLine(sink, row);
  }
  if (entries == 0) putLine(sink, "  (none)");
  if (entries > text.limits.rows) {
    putLine(sink,
            "  ... and " + std::to_string(entries - text.limits.rows) + " more (--all lists them)");
  }
}

void writeNotes(TextContext& text, const NoteSummary& notes) {
  ReportSink& sink = text.sink;
  endLine(sink);
  putLine(sink, "Notes on odd lines");
  if (notes.total == 0) putLine(sink, "  (none)");
  for (const Note& note : notes.listed) {
    putLine(sink, "  " + lineLabel(text, note.line) + "  " + std::string(noteKindName(note.kind)) +
                      ": " + note.message);
  }
  for (std::size_t kind = 0; kind < kNoteKindCount; ++kind) {
    if (notes.counts[kind] <= text.limits.notesPerKind) continue;
    putLine(sink, "  ... and " + std::to_string(notes.counts[kind] - text.limits.notesPerKind) +
                      " more " + std::string(noteKindName(static_cast<NoteKind>(kind))) +
                      " (--all lists them)");
  }
}

}  // namespace

void writeTextReport(ReportSink& sink, const LoadedInput& input, const RuleAnswers& answers,
                     const DesignAnswers& design, const ExplainOptions& options) {
  TextContext text{.sink = sink,
                   .input = input,
                   .answers = answers,
                   .options = options,
                   .limits = textLimits(options),
                   .budget = traceBudget(options)};
  const std::uint64_t lastLine = dependencyLine(dependenciesInUse());
  text.lineWidth = std::to_string(lastLine).size();
  const NoteSummary notes = gatherNotes(text);
  writeHeader(text, notes, design);
  writeListings(text);
  writeTraceSections(text);
  writeDesignSections(text, design);
  writeNotes(text, notes);
}

}  // namespace fdpreserve::explain
