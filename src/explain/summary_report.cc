#include "explain/summary_report.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "explain/join_repair_answers.h"
#include "explain/notes.h"
#include "explain/text_parts.h"

namespace fdpreserve::explain {
namespace {

/// RFC 4180 ends every record in CR LF, on every platform.
constexpr std::string_view kRecordEnd = "\r\n";

/// What the summary says of one readable file.
struct SummaryRow {
  bool preserving = false;                 ///< under this tool's rule
  std::optional<bool> textbookPreserving;  ///< empty when the textbook rule was not computed
  std::optional<bool> lossless;            ///< whether the join is lossless; empty: not computed
  std::optional<bool> textbookLossless;    ///< the same under the textbook closure
  std::vector<std::uint64_t> notPreservedLines;  ///< under this tool's rule, ascending
  std::uint64_t notes = 0;                       ///< on odd lines, as the text report counts them
};

/// The row of the input in `state` from the answers, its notes counted.
SummaryRow gatherRow(const LoadedInput& input, const RuleAnswers& answers,
                     const ExplainOptions& options) {
  SummaryRow row;
  row.preserving = preservingOurs(answers);
  if (answers.textbook == TextbookState::kDecided) {
    row.textbookPreserving = preservingTextbook(answers);
  }
  row.notPreservedLines.reserve(answers.ours.failedEntries.size());
  for (const std::size_t entry : answers.ours.failedEntries) {
    row.notPreservedLines.push_back(dependencyLine(entry));
  }
  // Only the CSV records have columns for the join.
  if (options.csv) {
    const JoinAnswers join = answerJoin(answers, options, JoinScope::kVerdicts);
    row.lossless = join.lossless;
    row.textbookLossless = join.textbookLossless;
  }
  // Every file that ends in a line feed has the final empty entry: counting its note would tell a
  // grader nothing.
  forEachLineNote(input, Language::kEnglish, [&row](const Note& note) {
    if (note.kind != NoteKind::kFinalEmptyEntry) ++row.notes;
  });
  return row;
}

/// The first `limit` of `lines`, joined by `separator`.
std::string joinLines(const std::vector<std::uint64_t>& lines, std::string_view separator,
                      std::size_t limit) {
  std::string out;
  for (std::size_t i = 0; i < lines.size() && i < limit; ++i) {
    if (i > 0) out += separator;
    out += std::to_string(lines[i]);
  }
  return out;
}

/// One field of a record: as it is, or in double quotes, each double quote doubled, when it holds
/// a comma, a double quote or a line end.
void putCsvField(ReportSink& sink, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    put(sink, field);
    return;
  }
  put(sink, "\"");
  for (std::size_t quote = field.find('"'); quote != std::string_view::npos;
       quote = field.find('"')) {
    put(sink, field.substr(0, quote + 1));
    put(sink, "\"");
    field.remove_prefix(quote + 1);
  }
  put(sink, field);
  put(sink, "\"");
}

/// One record: the fields, separated by commas, and the record's end.
void putCsvRecord(ReportSink& sink, std::initializer_list<std::string_view> fields) {
  bool first = true;
  for (const std::string_view field : fields) {
    if (!first) put(sink, ",");
    first = false;
    putCsvField(sink, field);
  }
  put(sink, kRecordEnd);
}

/// "true", "false", or an empty field for what was not computed.
std::string_view csvBoolean(std::optional<bool> value) {
  if (!value.has_value()) return {};
  return *value ? "true" : "false";
}

/// The textbook rule's verdict as fdpreserve would write it, or that it was not computed.
std::string textbookText(const SummaryRow& row, Language language) {
  if (!row.textbookPreserving.has_value()) return phrase(language, "summary.not-computed");
  return hungarianVerdict(*row.textbookPreserving);
}

/// The lines of the dependencies not preserved, the first few unless `--all`, in words.
std::string notPreservedText(const SummaryRow& row, const ExplainOptions& options) {
  const Language language = options.language;
  const std::vector<std::uint64_t>& lines = row.notPreservedLines;
  if (lines.empty()) return phrase(language, "summary.every-dependency-preserved");
  const std::size_t limit = textLimits(options).failures;
  std::string listed = joinLines(lines, ", ", limit);
  if (lines.size() > limit) {
    listed = phrase(language, "summary.more-lines",
                    {{"lines", listed}, {"count", std::to_string(lines.size() - limit)}});
  }
  return countedPhrase(language, "summary.not-preserved", lines.size(), {{"lines", listed}});
}

}  // namespace

void writeSummaryHeader(ReportSink& sink, const ExplainOptions& options) {
  if (!options.csv) return;
  put(sink, kSummaryColumns);
  put(sink, kRecordEnd);
}

void writeSummaryRow(ReportSink& sink, const LoadedInput& input, const RuleAnswers& answers,
                     const ExplainOptions& options) {
  const SummaryRow row = gatherRow(input, answers, options);
  if (options.csv) {
    putCsvRecord(sink, {input.name,
                        csvBoolean(row.preserving),
                        csvBoolean(row.textbookPreserving),
                        csvBoolean(row.lossless),
                        csvBoolean(row.textbookLossless),
                        joinLines(row.notPreservedLines, ";", row.notPreservedLines.size()),
                        std::to_string(row.notes),
                        {}});
    return;
  }
  const Language language = options.language;
  putLine(sink, phrase(language, "summary.line",
                       {{"file", input.name},
                        {"verdict", hungarianVerdict(row.preserving)},
                        {"textbook", textbookText(row, language)},
                        {"lines", notPreservedText(row, options)},
                        {"notes", countedPhrase(language, "summary.notes", row.notes,
                                                {{"count", std::to_string(row.notes)}})}}));
}

void writeSummaryError(ReportSink& sink, const std::string& name, const std::string& error,
                       const ExplainOptions& options) {
  if (options.csv) {
    putCsvRecord(sink, {name, {}, {}, {}, {}, {}, {}, error});
    return;
  }
  putLine(sink, phrase(options.language, "summary.error", {{"file", name}, {"error", error}}));
}

}  // namespace fdpreserve::explain
