#include "explain/subschema_report.h"

#include "analysis/tables_in_use.h"
#include "explain/catalogue.h"

namespace fdpreserve::explain {
namespace {

/// Names as the reports show them, or "(nothing)".
std::string namesOrNothing(const SubschemaReport& report, std::span<const AttributeId> ids) {
  if (ids.empty()) return phrase(report.language, "design.nothing");
  std::string out;
  appendNames(out, ids, report.encoding);
  return out;
}

void noteSubschema(SubschemaReport& report, std::size_t row, const SubschemaFindings& findings) {
  const std::string line = std::to_string(subschemaLine(row));
  if (findings.cut == DesignCut::kSubschemaBudget) {
    report.notes.push_back(
        {.line = subschemaLine(row),
         .kind = NoteKind::kProjectionCut,
         .message = phrase(report.language, "note.projection-cut", {{"line", line}})});
  }
  if (findings.rulesPart) {
    report.notes.push_back(
        {.line = subschemaLine(row),
         .kind = NoteKind::kRulesPartOnSubschema,
         .message = phrase(report.language, "note.rules-part-on-subschema",
                           {{"line", line},
                            {"keys", keysText(report, findings, findings.anyKeys, ~std::size_t{0})},
                            {"form", formName(findings.anyForm.form)}})});
  }
}

}  // namespace

void startSubschemaReport(SubschemaReport& report, const LoadedInput& input,
                          const ExplainOptions& options) {
  report = SubschemaReport{};
  report.language = options.language;
  report.encoding = input.encoding;
  startDesign(report.context, designBudgets(options.all));
}

void findSubschemaForReport(SubschemaReport& report, std::size_t row, SubschemaFindings& findings) {
  const std::size_t cutBefore = report.context.cutForTheFile;
  findSubschema(report.context, row, findings);
  if (cutBefore == 0 && report.context.cutForTheFile > 0) report.firstCutForTheFile = row;
  noteSubschema(report, row, findings);
}

void forEachSubschemaNote(const SubschemaReport& report, const NoteSink& emit) {
  for (const Note& note : report.notes) emit(note);
  const DesignContext& context = report.context;
  if (context.coverTried && !context.coverFound) {
    emit({.line = 0,
          .kind = NoteKind::kCoverCut,
          .message = phrase(report.language, "note.cover-cut")});
  }
  if (context.cutForTheInput > 0) {
    emit({.line = 0,
          .kind = NoteKind::kProjectionCut,
          .message = phrase(report.language, "note.projection-cut-for-input")});
  }
  if (context.cutForTheFile > 0) {
    emit({.line = 0,
          .kind = NoteKind::kProjectionCut,
          .message =
              countedPhrase(report.language, "note.projection-cut-for-file", context.cutForTheFile,
                            {{"count", std::to_string(context.cutForTheFile)},
                             {"line", std::to_string(subschemaLine(report.firstCutForTheFile))}})});
  }
}

std::string_view formName(NormalForm form) {
  switch (form) {
    case NormalForm::kFirst:
      return "1NF";
    case NormalForm::kSecond:
      return "2NF";
    case NormalForm::kThird:
      return "3NF";
    case NormalForm::kBoyceCodd:
      break;
  }
  return "BCNF";
}

std::vector<AttributeId> idsOfPlaces(const SubschemaFindings& findings,
                                     std::span<const AttributeId> places) {
  std::vector<AttributeId> ids;
  ids.reserve(places.size());
  for (const AttributeId p : places) ids.push_back(findings.attributes[p]);
  return ids;
}

std::string keysText(const SubschemaReport& report, const SubschemaFindings& findings,
                     const std::vector<PlaceList>& keys, std::size_t limit) {
  std::string out;
  for (std::size_t k = 0; k < keys.size() && k < limit; ++k) {
    if (k > 0) out += ", ";
    std::string names;
    appendNames(names, idsOfPlaces(findings, keys[k]), report.encoding);
    out += "{" + names + "}";
  }
  if (keys.size() > limit) {
    out += phrase(report.language, "design.and-more",
                  {{"count", std::to_string(keys.size() - limit)}});
  }
  return out;
}

std::string dependencyOfIds(const SubschemaReport& report, std::span<const AttributeId> left,
                            AttributeId right) {
  return namesOrNothing(report, left) + " -> " +
         namesOrNothing(report, std::span<const AttributeId>(&right, 1));
}

}  // namespace fdpreserve::explain
