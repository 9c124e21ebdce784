#pragma once

#include <string>

#include "explain/explain_options.h"
#include "explain/loaded_input.h"
#include "explain/report_sink.h"
#include "explain/rule_answers.h"

namespace fdpreserve::explain {

/// The CSV columns of the summary, in order. Like JSON keys, they stay the same from release to
/// release, whatever the language.
inline constexpr std::string_view kSummaryColumns =
    "file,preserving,textbook_preserving,lossless,textbook_lossless,not_preserved_lines,notes,"
    "error";

/// Writes what a summary begins with: the CSV header record with `options.csv`, nothing else.
void writeSummaryHeader(ReportSink& sink, const ExplainOptions& options);

/// Writes the summary of the input in `state`, one line of text or one CSV record: the verdicts
/// of both rules, the lines of the dependencies not preserved and how many notes the lines got.
/// Takes the answers alone: nothing is traced.
void writeSummaryRow(ReportSink& sink, const LoadedInput& input, const RuleAnswers& answers,
                     const ExplainOptions& options);

/// Writes the row of a file that has no answers: its name and why.
void writeSummaryError(ReportSink& sink, const std::string& name, const std::string& error,
                       const ExplainOptions& options);

}  // namespace fdpreserve::explain
