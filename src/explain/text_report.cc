#include "explain/text_report.h"

#include <algorithm>
#include <array>
#include <vector>

#include "analysis/tables_in_use.h"
#include "explain/join_repair_text.h"
#include "explain/notes.h"
#include "explain/subschema_text.h"
#include "explain/text_parts.h"

namespace fdpreserve::explain {
namespace {

/// The notes the report lists, and how many of each kind there are.
struct NoteSummary {
  std::vector<Note> listed;
  std::array<std::size_t, kNoteKindCount> counts{};
  std::size_t total = 0;
};

NoteSummary gatherNotes(const TextContext& text) {
  NoteSummary summary;
  forEachLineNote(text.input, text.options.language, [&](const Note& note) {
    const auto kind = static_cast<std::size_t>(note.kind);
    if (summary.counts[kind]++ < text.limits.notesPerKind) summary.listed.push_back(note);
    ++summary.total;
  });
  return summary;
}

std::string textbookVerdict(const TextContext& text) {
  const RuleAnswers& answers = text.answers;
  if (answers.textbook == TextbookState::kDecided) {
    return verdictText(text.options.language, preservingTextbook(answers));
  }
  return words(text, "report.textbook-not-computed",
               {{"reason", textbookSkipReason(text.options.language, answers.textbook)}});
}

void writeHeader(TextContext& text, const NoteSummary& notes) {
  ReportSink& sink = text.sink;
  const RuleAnswers& answers = text.answers;
  putLine(sink, "== " + text.input.name);
  putLine(sink, words(text, "report.verdict",
                      {{"verdict", verdictText(text.options.language, preservingOurs(answers))}}));
  putLine(sink, words(text, "report.textbook-verdict", {{"verdict", textbookVerdict(text)}}));
  putLine(sink, "  " + words(text, "report.rules"));
  if (text.options.decidingRule == ClosureRule::kAllLeftAttributes) {
    putLine(sink, "  " + words(text, "report.textbook-decides"));
  }
  const std::size_t subschemas = subschemasInUse();
  const std::size_t dependencies = countedEntries(text.input);
  const std::size_t failed = answers.ours.failedEntries.size();
  const std::string subschemaCount = countedWords(text, "report.read.subschemas", subschemas,
                                                  {{"count", std::to_string(subschemas)}});
  const std::string dependencyCount = countedWords(text, "report.read.dependencies", dependencies,
                                                   {{"count", std::to_string(dependencies)}});
  const std::string failedCount =
      countedWords(text, "report.read.not-preserved", failed, {{"count", std::to_string(failed)}});
  const std::string noteCount = countedWords(text, "report.read.notes", notes.total,
                                             {{"count", std::to_string(notes.total)}});
  if (answers.textbook != TextbookState::kDecided) {
    putLine(sink, words(text, "report.read",
                        {{"subschemas", subschemaCount},
                         {"dependencies", dependencyCount},
                         {"failed", failedCount},
                         {"notes", noteCount}}));
    return;
  }
  const std::size_t parting = answers.parting.size();
  const std::string rules = parting == 0 ? words(text, "report.read.rules-agree")
                                         : countedWords(text, "report.read.rules-part", parting,
                                                        {{"count", std::to_string(parting)}});
  putLine(sink, words(text, "report.read-with-rules",
                      {{"subschemas", subschemaCount},
                       {"dependencies", dependencyCount},
                       {"failed", failedCount},
                       {"rules", rules},
                       {"notes", noteCount}}));
}

/// "... and 12 more (--all lists them)".
void putMore(TextContext& text, std::size_t more) {
  putLine(text.sink, "  " + words(text, "report.more-listed", {{"count", std::to_string(more)}}));
}

void writeListings(TextContext& text) {
  ReportSink& sink = text.sink;
  endLine(sink);
  putLine(sink, words(text, "report.subschemas"));
  const std::size_t subschemas = subschemasInUse();
  for (std::size_t r = 0; r < subschemas && r < text.limits.rows; ++r) {
    putLine(sink, "  " + lineLabel(text, subschemaLine(r)) + "  " +
                      rowText(text, rowAt(state.decomposition.rows, r)));
  }
  if (subschemas == 0) putLine(sink, "  " + words(text, "report.none"));
  if (subschemas > text.limits.rows) putMore(text, subschemas - text.limits.rows);
  endLine(sink);
  putLine(sink, words(text, "report.dependencies"));
  // The empty entry after a final line feed has a note of its own, and no row.
  const std::size_t entries = countedEntries(text.input);
  const auto& failed = text.answers.ours.failedEntries;
  const std::string preservedWord = words(text, "report.preserved");
  const std::string lostWord = words(text, "report.not-preserved");
  const std::size_t column = std::max(shownWidth(preservedWord), shownWidth(lostWord)) + 2;
  std::size_t nextFailure = 0;
  for (std::size_t d = 0; d < entries && d < text.limits.rows; ++d) {
    const bool preserved = nextFailure == failed.size() || failed[nextFailure] != d;
    if (!preserved) ++nextFailure;
    std::string row = "  " + lineLabel(text, dependencyLine(d)) + "  " +
                      padded(preserved ? preservedWord : lostWord, column) +
                      dependencyText(text, d);
    if (!preserved) {
      row += "  " + words(text, "report.missing-names",
                          {{"names", nameList(text, missingAttributes(text.answers.ours, d),
                                              text.limits.names)}});
    }
    if (text.answers.textbook == TextbookState::kDecided &&
        text.answers.textbookPreserved[d] != preserved) {
      row +=
          "  " + words(text, text.answers.textbookPreserved[d] ? "report.textbook-preserved"
                                                               : "report.textbook-not-preserved");
    }
    putLine(sink, row);
  }
  if (entries == 0) putLine(sink, "  " + words(text, "report.none"));
  if (entries > text.limits.rows) putMore(text, entries - text.limits.rows);
}

void writeNotes(TextContext& text, const NoteSummary& notes) {
  ReportSink& sink = text.sink;
  endLine(sink);
  putLine(sink, words(text, "report.notes"));
  if (notes.total == 0) putLine(sink, "  " + words(text, "report.none"));
  for (const Note& note : notes.listed) {
    putLine(sink, "  " + lineLabel(text, note.line) + "  " + std::string(noteKindName(note.kind)) +
                      ": " + note.message);
  }
  for (std::size_t kind = 0; kind < kNoteKindCount; ++kind) {
    if (notes.counts[kind] <= text.limits.notesPerKind) continue;
    putLine(sink,
            "  " + words(text, "report.more-notes",
                         {{"count", std::to_string(notes.counts[kind] - text.limits.notesPerKind)},
                          {"kind", noteKindName(static_cast<NoteKind>(kind))}}));
  }
}

}  // namespace

void writeTextReport(ReportSink& sink, const LoadedInput& input, const RuleAnswers& answers,
                     const JoinRepairAnswers& joinRepair, const ExplainOptions& options) {
  TextContext text{.sink = sink,
                   .input = input,
                   .answers = answers,
                   .options = options,
                   .limits = textLimits(options),
                   .budget = traceBudget(options)};
  const std::uint64_t lastLine = dependencyLine(dependenciesInUse());
  text.lineWidth = std::to_string(lastLine).size();
  const NoteSummary notes = gatherNotes(text);
  writeHeader(text, notes);
  putLine(sink, joinHeaderLine(text, joinRepair.join));
  writeListings(text);
  writeTraceSections(text);
  writeJoinRepairSections(text, joinRepair);
  writeSubschemaSections(text);
  writeNotes(text, notes);
}

}  // namespace fdpreserve::explain
