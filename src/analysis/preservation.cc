#include "analysis/preservation.h"

#include "analysis/attribute_list.h"
#include "analysis/dependency_answers.h"
#include "analysis/reach.h"
#include "model/analysis_state.h"

namespace fdpreserve {

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
  writeBytes(state.outputFile, preserved ? kPreservingVerdict : kNotPreservingVerdict);
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
