#include "explain/join_repair_json.h"

#include <string>

#include "analysis/tables_in_use.h"

namespace fdpreserve::explain {
namespace {

void putBoolOrNull(ReportSink& sink, const std::optional<bool>& value) {
  put(sink, !value.has_value() ? "null" : *value ? "true" : "false");
}

std::string_view ruleKey(ClosureRule rule) {
  return rule == ClosureRule::kAnyLeftAttribute ? "\"any\"" : "\"textbook\"";
}

void putRepair(ReportSink& sink, const RepairAnswers& repair, const NamesWriter& putNames) {
  put(sink, ",\"repair\":");
  if (!repair.proposal.has_value()) {
    put(sink, "null");
    return;
  }
  const RepairProposal& proposal = *repair.proposal;
  put(sink, "{\"rule\":");
  put(sink, ruleKey(proposal.rule));
  put(sink, ",\"add\":[");
  for (std::size_t a = 0; a < proposal.added.size(); ++a) {
    put(sink, a == 0 ? "{\"attributes\":" : ",{\"attributes\":");
    putNames.list(proposal.added[a].attributes);
    put(sink, ",\"restores\":");
    putLineNumbers(sink, proposal.added[a].restores, dependencyLine);
    put(sink, "}");
  }
  put(sink, "],\"unrepairable\":");
  putLineNumbers(sink, proposal.unrepairable, dependencyLine);
  put(sink, ",\"verified\":");
  put(sink, repair.verified ? "true" : "false");
  put(sink, "}");
}

void putSteps(ReportSink& sink, const JoinAnswers& join, const NamesWriter& putNames) {
  put(sink, ",\"steps\":[");
  for (std::size_t s = 0; s < join.steps.size(); ++s) {
    const ChaseStep& step = join.steps[s];
    put(sink, s == 0 ? "{\"line\":" : ",{\"line\":");
    put(sink, std::to_string(dependencyLine(step.entry)));
    put(sink, ",\"agreed_on\":");
    putNames.list(step.agreedOn);
    put(sink, ",\"column\":");
    putNames.one(step.column);
    put(sink, ",\"rows\":");
    const std::vector<std::size_t> rows(step.rows.begin(), step.rows.end());
    putLineNumbers(sink, rows, subschemaLine);
    put(sink, ",\"distinguished\":");
    put(sink, step.distinguished ? "true" : "false");
    put(sink, "}");
  }
  put(sink, "]");
}

void putTableau(ReportSink& sink, const JoinAnswers& join, const ExplainOptions& options,
                const NamesWriter& putNames) {
  put(sink, ",\"tableau\":");
  if (join.tableau == nullptr) {
    put(sink, "null");
    return;
  }
  Tableau& tableau = *join.tableau;
  put(sink, "{\"rule\":");
  put(sink, ruleKey(designRule(options)));
  put(sink, ",\"rows\":[");
  for (std::size_t r = 0; r < tableau.rows; ++r) {
    put(sink, r == 0 ? "{\"line\":" : ",{\"line\":");
    put(sink, std::to_string(subschemaLine(r)));
    put(sink, ",\"undistinguished\":");
    putNames.list(undistinguishedColumns(tableau, r));
    put(sink, "}");
  }
  put(sink, "]");
  if (options.all) putSteps(sink, join, putNames);
  put(sink, "}");
}

std::string ruleWords(const ExplainOptions& options, ClosureRule rule) {
  return phrase(options.language,
                rule == ClosureRule::kAnyLeftAttribute ? "join.rule-any" : "join.rule-textbook");
}

}  // namespace

void putJoinVerdicts(ReportSink& sink, const JoinAnswers& join) {
  put(sink, ",\"lossless\":");
  putBoolOrNull(sink, join.lossless);
  put(sink, ",\"textbook_lossless\":");
  putBoolOrNull(sink, join.textbookLossless);
}

void putRepairAndTableau(ReportSink& sink, const JoinRepairAnswers& design,
                         const ExplainOptions& options, const NamesWriter& putNames) {
  putRepair(sink, design.repair, putNames);
  putTableau(sink, design.join, options, putNames);
}

void forEachJoinRepairNote(const JoinRepairAnswers& design, const ExplainOptions& options,
                           const std::function<void(const Note&)>& emit) {
  const JoinAnswers& join = design.join;
  const Language language = options.language;
  for (const auto& [rule, verdict] :
       {std::pair{ClosureRule::kAnyLeftAttribute, join.lossless},
        std::pair{ClosureRule::kAllLeftAttributes, join.textbookLossless}}) {
    if (verdict.has_value()) continue;
    emit(Note{.line = 0,
              .kind = NoteKind::kLosslessSkipped,
              .message =
                  phrase(language, "note.lossless-skipped", {{"rule", ruleWords(options, rule)}})});
  }
  const std::string rule = ruleWords(options, designRule(options));
  if (join.tableauCut == TableauCut::kNone) return;
  emit(Note{.line = 0,
            .kind = NoteKind::kTableauCut,
            .message = phrase(language,
                              join.tableauCut == TableauCut::kTooLarge ? "note.tableau-too-large"
                                                                       : "note.tableau-cut",
                              {{"rule", rule}})});
}

}  // namespace fdpreserve::explain
