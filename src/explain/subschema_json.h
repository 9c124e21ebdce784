#pragma once

#include "explain/json_parts.h"
#include "explain/report_sink.h"
#include "explain/subschema_report.h"

namespace fdpreserve::explain {

/// Writes `,"minimal_cover":` and the minimal cover of the input's dependencies, each with the
/// lines it came from, or null when it was not worked out.
void putMinimalCover(ReportSink& sink, SubschemaReport& report, const NamesWriter& putNames);

/// Writes the fields that follow a subschema's attributes: `,"projected":`, `,"keys":`,
/// `,"normal_form":` and `,"violation":`, each null when not worked out (a violation also in
/// BCNF).
void putSubschemaFindings(ReportSink& sink, const SubschemaFindings& findings,
                          const NamesWriter& putNames);

}  // namespace fdpreserve::explain
