#include "explain/subschema_text.h"

#include <algorithm>

#include "analysis/tables_in_use.h"
#include "explain/catalogue.h"
#include "explain/subschema_report.h"

namespace fdpreserve::explain {
namespace {

void writeCover(TextContext& text, SubschemaReport& design) {
  const Language language = text.options.language;
  endLine(text.sink);
  putLine(text.sink, phrase(language, "design.heading.cover"));
  const TracedCover* cover = inputCover(design.context);
  if (cover == nullptr) {
    putLine(text.sink, "  " + phrase(language, "design.cover-cut"));
    return;
  }
  const std::size_t count = dependenciesIn(cover->set);
  if (count == 0) putLine(text.sink, "  " + phrase(language, "design.cover-empty"));
  for (std::size_t i = 0; i < count && i < text.limits.rows; ++i) {
    const auto entries = entriesOf(*cover, i);
    putLine(text.sink, "  " + dependencyOfIds(design, leftOf(cover->set, i), cover->set.rights[i]) +
                           "  " +
                           countedPhrase(language, "design.from-lines", entries.size(),
                                         {{"lines", lineNumbers(entries, dependencyLine)}}));
  }
  if (count > text.limits.rows) {
    putLine(text.sink, "  " + phrase(language, "design.more-rows",
                                     {{"count", std::to_string(count - text.limits.rows)}}));
  }
}

/// What the subschema keeps, as one line: its dependencies, at most the limit of them.
std::string keptText(const TextContext& text, const SubschemaReport& design,
                     const SubschemaFindings& findings) {
  const std::size_t count = dependenciesIn(findings.projected);
  if (count == 0) return phrase(text.options.language, "design.keeps-nothing");
  std::string out;
  for (std::size_t i = 0; i < count && i < text.limits.names; ++i) {
    if (i > 0) out += "; ";
    out += dependencyOfIds(design, idsOfPlaces(findings, leftOf(findings.projected, i)),
                           findings.attributes[findings.projected.rights[i]]);
  }
  if (count > text.limits.names) {
    out += phrase(text.options.language, "design.and-more",
                  {{"count", std::to_string(count - text.limits.names)}});
  }
  return out;
}

/// The normal form and why it is not the next one up.
std::string formText(const TextContext& text, const SubschemaReport& design,
                     const SubschemaFindings& findings) {
  const Language language = text.options.language;
  const FormFinding& form = findings.form;
  if (form.form == NormalForm::kBoyceCodd) return std::string(formName(form.form));
  const std::vector<AttributeId> left = idsOfPlaces(findings, form.violationLeft);
  const AttributeId right = findings.attributes[form.violationRight];
  std::string leftText;
  appendNames(leftText, left, design.encoding);
  std::string rightText;
  appendNames(rightText, std::span<const AttributeId>(&right, 1), design.encoding);
  if (left.empty()) leftText = phrase(language, "design.nothing");
  const char* key = form.form == NormalForm::kThird    ? "design.form.3nf"
                    : form.form == NormalForm::kSecond ? "design.form.2nf"
                                                       : "design.form.1nf";
  return phrase(language, key,
                {{"dependency", dependencyOfIds(design, left, right)},
                 {"left", leftText},
                 {"right", rightText}});
}

void writeSubschema(TextContext& text, SubschemaReport& design, std::size_t row,
                    SubschemaFindings& findings) {
  const Language language = text.options.language;
  findSubschemaForReport(design, row, findings);
  putLine(text.sink, "  " + lineLabel(text, subschemaLine(row)) + "  " +
                         nameList(text, findings.attributes, text.limits.names));
  const std::string indent = "    ";
  if (!findings.projectedKnown) {
    const char* why = findings.cut == DesignCut::kFileBudget      ? "design.cut-for-file"
                      : findings.cut == DesignCut::kInputTooLarge ? "design.cut-for-input"
                                                                  : "design.cut-for-subschema";
    putLine(text.sink, indent + phrase(language, why));
    return;
  }
  putLine(text.sink, indent + phrase(language, "design.keeps",
                                     {{"dependencies", keptText(text, design, findings)}}));
  putLine(text.sink,
          indent + (findings.keysKnown ? phrase(language, "design.keys",
                                                {{"keys", keysText(design, findings, findings.keys,
                                                                   text.limits.names)}})
                                       : phrase(language, "design.keys-cut")));
  putLine(text.sink,
          indent + (findings.formKnown ? phrase(language, "design.form",
                                                {{"form", formText(text, design, findings)}})
                                       : phrase(language, "design.form-cut")));
  if (findings.rulesPart) {
    putLine(
        text.sink,
        indent + phrase(language, "design.any-rule",
                        {{"keys", keysText(design, findings, findings.anyKeys, text.limits.names)},
                         {"form", formName(findings.anyForm.form)}}));
  }
}

}  // namespace

void writeSubschemaSections(TextContext& text) {
  const Language language = text.options.language;
  SubschemaReport design;
  startSubschemaReport(design, text.input, text.options);
  writeCover(text, design);
  endLine(text.sink);
  putLine(text.sink, phrase(language, "design.heading.subschemas"));
  const std::size_t subschemas = subschemasInUse();
  if (subschemas == 0) putLine(text.sink, "  " + phrase(language, "design.none"));
  SubschemaFindings findings;
  for (std::size_t r = 0; r < subschemas && r < text.limits.rows; ++r) {
    writeSubschema(text, design, r, findings);
  }
  if (subschemas > text.limits.rows) {
    const std::size_t more = subschemas - text.limits.rows;
    putLine(text.sink, "  " + countedPhrase(language, "design.more-subschemas", more,
                                            {{"count", std::to_string(more)}}));
  }
}

}  // namespace fdpreserve::explain
