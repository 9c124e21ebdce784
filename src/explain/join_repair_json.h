#pragma once

#include <functional>

#include "explain/join_repair_answers.h"
#include "explain/json_parts.h"
#include "explain/notes.h"
#include "explain/report_sink.h"

namespace fdpreserve::explain {

/// Writes the fields "lossless" and "textbook_lossless", each after a comma; null for a verdict
/// not computed.
void putJoinVerdicts(ReportSink& sink, const JoinAnswers& join);

/// Writes the fields "repair" and "tableau", each after a comma: the subschemas to add with the
/// lines they restore, null on a preserving input; the final tableau's rows under the deciding
/// rule, each with the columns it leaves undistinguished, and with `--all` the chase's steps, null
/// on a lossless join and where the tableau was not chased or is too large to list.
void putRepairAndTableau(ReportSink& sink, const JoinRepairAnswers& design,
                         const ExplainOptions& options, const NamesWriter& putNames);

/// Calls `emit` with a note for each verdict of the join not computed and for a tableau left out.
void forEachJoinRepairNote(const JoinRepairAnswers& design, const ExplainOptions& options,
                           const std::function<void(const Note&)>& emit);

}  // namespace fdpreserve::explain
