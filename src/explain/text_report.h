#pragma once

#include "explain/explain_options.h"
#include "explain/join_repair_answers.h"
#include "explain/loaded_input.h"
#include "explain/report_sink.h"
#include "explain/rule_answers.h"

namespace fdpreserve::explain {

/// Writes the text report on the input in `state`: the verdicts of both rules, the subschemas and
/// dependencies as read with their lines, why each dependency that fails does, where the rules
/// part, and the notes on odd lines. Lists stop at `TextLimits` unless `options.all`.
void writeTextReport(ReportSink& sink, const LoadedInput& input, const RuleAnswers& answers,
                     const JoinRepairAnswers& design, const ExplainOptions& options);

}  // namespace fdpreserve::explain
