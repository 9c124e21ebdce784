#include "explain/subschema_json.h"

namespace fdpreserve::explain {
namespace {

void putDependency(ReportSink& sink, std::span<const AttributeId> left, AttributeId right,
                   const NamesWriter& putNames) {
  put(sink, "{\"left\":");
  putNames.list(left);
  put(sink, ",\"right\":");
  putNames.list(std::span<const AttributeId>(&right, 1));
}

}  // namespace

void putMinimalCover(ReportSink& sink, SubschemaReport& report, const NamesWriter& putNames) {
  put(sink, ",\"minimal_cover\":");
  const TracedCover* cover = inputCover(report.context);
  if (cover == nullptr) {
    put(sink, "null");
    return;
  }
  put(sink, "[");
  for (std::size_t i = 0; i < dependenciesIn(cover->set); ++i) {
    if (i > 0) put(sink, ",");
    putDependency(sink, leftOf(cover->set, i), cover->set.rights[i], putNames);
    put(sink, ",\"from\":");
    putLineNumbers(sink, entriesOf(*cover, i), dependencyLine);
    put(sink, "}");
  }
  put(sink, "]");
}

void putSubschemaFindings(ReportSink& sink, const SubschemaFindings& findings,
                          const NamesWriter& putNames) {
  put(sink, ",\"projected\":");
  if (findings.projectedKnown) {
    put(sink, "[");
    for (std::size_t i = 0; i < dependenciesIn(findings.projected); ++i) {
      if (i > 0) put(sink, ",");
      putDependency(sink, idsOfPlaces(findings, leftOf(findings.projected, i)),
                    findings.attributes[findings.projected.rights[i]], putNames);
      put(sink, "}");
    }
    put(sink, "]");
  } else {
    put(sink, "null");
  }
  put(sink, ",\"keys\":");
  if (findings.keysKnown) {
    put(sink, "[");
    for (std::size_t k = 0; k < findings.keys.size(); ++k) {
      if (k > 0) put(sink, ",");
      putNames.list(idsOfPlaces(findings, findings.keys[k]));
    }
    put(sink, "]");
  } else {
    put(sink, "null");
  }
  put(sink, ",\"normal_form\":");
  if (findings.formKnown) {
    put(sink, "\"");
    put(sink, formName(findings.form.form));
    put(sink, "\"");
  } else {
    put(sink, "null");
  }
  put(sink, ",\"violation\":");
  if (findings.formKnown && findings.form.form != NormalForm::kBoyceCodd) {
    putDependency(sink, idsOfPlaces(findings, findings.form.violationLeft),
                  findings.attributes[findings.form.violationRight], putNames);
    put(sink, "}");
  } else {
    put(sink, "null");
  }
}

}  // namespace fdpreserve::explain
