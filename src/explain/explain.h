#pragma once

#include <string>
#include <string_view>

#include "explain/explain_options.h"
#include "explain/loaded_input.h"
#include "explain/report_sink.h"

namespace fdpreserve::explain {

/// Writes the report `options` asks for on the input loaded into `state`, and returns its exit
/// status: whether it preserves its dependencies under the deciding rule. Fills `error` and
/// returns `kExitTrouble` when the deciding rule could not be decided.
int explainLoaded(ReportSink& sink, const LoadedInput& input, const ExplainOptions& options,
                  std::string& error);

/// The JSON line on a file whose bytes are in memory, `name` only naming it; touches no file.
/// The entry point of the web page.
std::string explainAsJson(std::string_view name, std::string bytes, const ExplainOptions& options);

/// The text report on a file whose bytes are in memory, with line feeds; touches no file.
std::string explainAsText(std::string_view name, std::string bytes, const ExplainOptions& options);

}  // namespace fdpreserve::explain
