#pragma once

#include <string>

#include "explain/explain_options.h"
#include "explain/join_repair_answers.h"
#include "explain/loaded_input.h"
#include "explain/report_sink.h"
#include "explain/rule_answers.h"

namespace fdpreserve::explain {

/// Writes the report on the input in `state` as one JSON object on one line: the verdicts, every
/// subschema and every dependency entry with its answers, and the notes. Streamed value by value,
/// each serialised by the JSON library, so that millions of dependencies need no document in
/// memory.
void writeJsonReport(ReportSink& sink, const LoadedInput& input, const RuleAnswers& answers,
                     const JoinRepairAnswers& design, const ExplainOptions& options);

/// Writes {"file": name, "error": error} on one line.
void writeJsonError(ReportSink& sink, const std::string& name, const std::string& error);

}  // namespace fdpreserve::explain
