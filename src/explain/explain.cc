#include "explain/explain.h"

#include <new>
#include <utility>

#include "explain/json_report.h"
#include "explain/messages.h"
#include "explain/rule_answers.h"
#include "explain/summary_report.h"
#include "explain/text_report.h"

namespace fdpreserve::explain {
namespace {

/// The report on `bytes` into a string, or what went wrong instead.
std::string explainInMemory(std::string_view name, std::string bytes, ExplainOptions options) {
  std::string report;
  ReportSink sink = memorySink(report);
  std::string error;
  try {
    const LoadedInput input = loadBytes(std::string(name), std::move(bytes));
    if (explainLoaded(sink, input, options, error) != kExitTrouble) return report;
  } catch (const std::bad_alloc&) {
    error = phrase(options.language, "error.out-of-memory-for-file");
  }
  resetAnalysisState();
  report.clear();
  if (options.json) {
    writeJsonError(sink, std::string(name), error);
  } else {
    putLine(sink, std::string(texts::kProgram) + ": " + std::string(name) + ": " + error);
  }
  return report;
}

}  // namespace

int explainLoaded(ReportSink& sink, const LoadedInput& input, const ExplainOptions& options,
                  std::string& error) {
  const RuleAnswers answers = answerBothRules(options);
  const bool textbookDecides = options.decidingRule == ClosureRule::kAllLeftAttributes;
  if (textbookDecides && answers.textbook != TextbookState::kDecided) {
    error = phrase(options.language, "error.textbook-cannot-decide",
                   {{"reason", textbookSkipReason(options.language, answers.textbook)}});
    return kExitTrouble;
  }
  if (options.summary) {
    writeSummaryRow(sink, input, answers, options);
  } else if (options.json) {
    writeJsonReport(sink, input, answers, answerJoinAndRepair(answers, options), options);
  } else {
    writeTextReport(sink, input, answers, answerJoinAndRepair(answers, options), options);
  }
  return decidingVerdict(answers, options) ? kExitPreserving : kExitNotPreserving;
}

std::string explainAsJson(std::string_view name, std::string bytes, const ExplainOptions& options) {
  ExplainOptions json = options;
  json.json = true;
  return explainInMemory(name, std::move(bytes), json);
}

std::string explainAsText(std::string_view name, std::string bytes, const ExplainOptions& options) {
  ExplainOptions text = options;
  text.json = false;
  return explainInMemory(name, std::move(bytes), text);
}

}  // namespace fdpreserve::explain
