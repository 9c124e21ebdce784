#include "explain/join_repair_text.h"

#include <algorithm>

#include "analysis/tables_in_use.h"
#include "design/repaired_input.h"
#include "explain/name_text.h"
#include "explain/notes.h"

namespace fdpreserve::explain {
namespace {

std::string say(const TextContext& text, std::string_view key,
                std::initializer_list<Fill> fills = {}) {
  return phrase(text.options.language, key, fills);
}

std::string ruleName(const TextContext& text, ClosureRule rule) {
  return say(text, rule == ClosureRule::kAnyLeftAttribute ? "join.rule-any" : "join.rule-textbook");
}

std::string verdictWord(const TextContext& text, const std::optional<bool>& lossless) {
  if (!lossless.has_value()) return say(text, "join.not-computed");
  return say(text, *lossless ? "join.lossless" : "join.lossy");
}

std::string subschemaNames(const TextContext& text, std::size_t row) {
  const SlotRow names = subschemaAttributes(row);
  return names.empty() ? say(text, "join.nothing") : nameList(text, names, text.limits.names);
}

/// A line to paste: the names as they are, in UTF-8, unless some would not show.
std::string pastedLine(const TextContext& text, const AddedSubschema& added, bool& hidden) {
  const std::string bytes = addedSubschemaLine(added);
  const bool shows = std::none_of(bytes.begin(), bytes.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == '\x7f';
  });
  std::string line;
  if (shows) {
    appendUtf8(line, bytes, text.input.encoding);
  } else {
    hidden = true;
    appendNames(line, added.attributes, text.input.encoding);
  }
  return line;
}

void writeRepair(TextContext& text, const RepairAnswers& repair) {
  if (!repair.proposal.has_value()) return;
  const RepairProposal& proposal = *repair.proposal;
  ReportSink& sink = text.sink;
  const std::string rule = ruleName(text, proposal.rule);
  endLine(sink);
  const std::string lastLine = std::to_string(subschemaLine(subschemasInUse() - 1));
  putLine(sink, subschemasInUse() == 0
                    ? say(text, "repair.section-first", {{"rule", rule}})
                    : say(text, "repair.section", {{"rule", rule}, {"line", lastLine}}));
  bool hidden = false;
  for (const AddedSubschema& added : proposal.added) {
    putLine(sink, "  " + pastedLine(text, added, hidden));
    putLine(sink,
            "    " + countedPhrase(text.options.language, "repair.restores", added.restores.size(),
                                   {{"lines", lineNumbers(added.restores, dependencyLine)}}));
  }
  if (hidden) putLine(sink, "  " + say(text, "repair.hidden-bytes"));
  if (!proposal.unrepairable.empty()) {
    putLine(sink,
            "  " + countedPhrase(text.options.language, "repair.unrepairable",
                                 proposal.unrepairable.size(),
                                 {{"lines", lineNumbers(proposal.unrepairable, dependencyLine)}}));
  }
  if (proposal.added.empty()) return;
  const std::string_view checked = !repair.verified                ? "repair.not-verified"
                                   : proposal.unrepairable.empty() ? "repair.verified"
                                                                   : "repair.verified-but";
  putLine(sink, "  " + say(text, checked, {{"rule", rule}}));
}

void writeVerdict(TextContext& text, ClosureRule rule, const std::optional<bool>& lossless,
                  std::size_t row) {
  const std::string name = ruleName(text, rule);
  std::string line;
  if (!lossless.has_value()) {
    line = say(text, "join.row-not-computed", {{"rule", name}});
  } else if (*lossless) {
    line = say(text, "join.row-lossless",
               {{"rule", name},
                {"line", std::to_string(subschemaLine(row))},
                {"names", subschemaNames(text, row)}});
  } else {
    line = say(text, "join.row-lossy", {{"rule", name}});
  }
  putLine(text.sink, "  " + line);
}

void writeSteps(TextContext& text, const JoinAnswers& join, const std::string& rule) {
  if (!text.options.all) {
    putLine(text.sink, "  " + say(text, "join.steps-hint"));
    return;
  }
  putLine(text.sink, "  " + say(text, "join.steps", {{"rule", rule}}));
  if (join.steps.empty()) putLine(text.sink, "    " + say(text, "join.steps-none"));
  for (const ChaseStep& step : join.steps) {
    const std::string rows =
        lineNumbers(std::vector<std::size_t>(step.rows.begin(), step.rows.end()), subschemaLine);
    putLine(text.sink,
            "    " + say(text, step.distinguished ? "join.step-distinguished" : "join.step",
                         {{"line", lineLabel(text, dependencyLine(step.entry))},
                          {"dependency", dependencyText(text, step.entry)},
                          {"rows", rows},
                          {"agreed", nameList(text, step.agreedOn, text.limits.names)},
                          {"column", nameList(text, std::span(&step.column, 1), 1)}}));
  }
  if (join.stepsCut) putLine(text.sink, "    " + say(text, "join.steps-cut"));
}

void writeTableau(TextContext& text, const JoinAnswers& join) {
  const std::string rule = ruleName(text, designRule(text.options));
  if (join.tableauCut != TableauCut::kNone) {
    putLine(text.sink,
            "  " + say(text,
                       join.tableauCut == TableauCut::kTooLarge ? "join.tableau-too-large"
                                                                : "join.tableau-cut",
                       {{"rule", rule}}));
    return;
  }
  if (join.tableau == nullptr || join.tableau->rows == 0) return;
  Tableau& tableau = *join.tableau;
  putLine(text.sink, "  " + say(text, "join.tableau", {{"rule", rule}}));
  for (std::size_t r = 0; r < tableau.rows && r < text.limits.rows; ++r) {
    putLine(text.sink, "    " + say(text, "join.tableau-row",
                                    {{"line", lineLabel(text, subschemaLine(r))},
                                     {"names", subschemaNames(text, r)},
                                     {"columns", nameList(text, undistinguishedColumns(tableau, r),
                                                          text.limits.names)}}));
  }
  if (tableau.rows > text.limits.rows) {
    putLine(text.sink, "    " + say(text, "join.tableau-more-rows",
                                    {{"count", std::to_string(tableau.rows - text.limits.rows)}}));
  }
  writeSteps(text, join, rule);
}

}  // namespace

std::string joinHeaderLine(const TextContext& text, const JoinAnswers& join) {
  return say(text, "join.header",
             {{"ours", verdictWord(text, join.lossless)},
              {"textbook", verdictWord(text, join.textbookLossless)}});
}

void writeJoinRepairSections(TextContext& text, const JoinRepairAnswers& design) {
  writeRepair(text, design.repair);
  const JoinAnswers& join = design.join;
  endLine(text.sink);
  putLine(text.sink, say(text, "join.section"));
  writeVerdict(text, ClosureRule::kAnyLeftAttribute, join.lossless, join.losslessRow);
  writeVerdict(text, ClosureRule::kAllLeftAttributes, join.textbookLossless,
               join.textbookLosslessRow);
  writeTableau(text, join);
}

}  // namespace fdpreserve::explain
