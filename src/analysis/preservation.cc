#include "analysis/preservation.h"

#include <string_view>

#include "analysis/attribute_list.h"
#include "analysis/dependency_answers.h"
#include "analysis/reach.h"
#include "model/analysis_state.h"

namespace fdpreserve {
namespace {

// ISO 8859-2: ü = FC, ő = F5, é = E9. Spelled as escapes so no source encoding can change them.
constexpr std::string_view kPreserving = "f\xFCgg\xF5s\xE9g\xF5rz\xF5";
constexpr std::string_view kNotPreserving = "nem f\xFCgg\xF5s\xE9g\xF5rz\xF5";

}  // namespace

void projectedReach(AttributeList& reached) {
  for (std::int64_t i = 0; i < state.schemaCount; ++i) {
    const AttributeList subschema =
        rowAsList(subschemaRow(state.decomposition, static_cast<std::size_t>(i)));
    const AttributeList shared = intersectLists(reached, subschema);
    const AttributeList closure = reachClosure(shared);
    reached = uniteLists(reached, intersectLists(closure, subschema));
  }
}

void writeVerdict(bool preserved) {
  writeLineEnd(state.outputFile);
  writeBytes(state.outputFile, preserved ? kPreserving : kNotPreserving);
}

void checkPreservation() {
  // Which dependency fails is never written: the first failure found decides.
  if (!everyDependencyPreserved(answerDependencies(AnswerScope::kVerdict))) {
    writeVerdict(false);
    return;
  }
  writeVerdict(true);
  closeInput(state.inputFile);
  closeOutput(state.outputFile);
}

}  // namespace fdpreserve
