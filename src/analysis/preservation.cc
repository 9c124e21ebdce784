#include "analysis/preservation.h"

#include <string_view>

#include "analysis/attribute_list.h"
#include "analysis/reach.h"
#include "model/analysis_state.h"

namespace fdpreserve {
namespace {

// ISO 8859-2: ü = FC, ő = F5, é = E9. Spelled as escapes so no source encoding can change them.
constexpr std::string_view kPreserving =
    "f\xFC"
    "gg\xF5"
    "s\xE9"
    "g\xF5"
    "rz\xF5";
constexpr std::string_view kNotPreserving =
    "nem f\xFC"
    "gg\xF5"
    "s\xE9"
    "g\xF5"
    "rz\xF5";

/// Whether dependency `entry` survives the passes over the subschemas.
bool isPreserved(std::size_t entry) {
  const AttributeList leftCopy = rowAsList(leftSide(state.dependencies, entry));
  const AttributeList rightCopy = rowAsList(rightSide(state.dependencies, entry));
  AttributeList reached = leftCopy;
  AttributeList reachedBefore;
  do {
    reachedBefore = reached;
    projectedReach(reached);
  } while (reached != reachedBefore);
  return isSubset(rightCopy, reached);
}

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
  for (std::int64_t r = 0; r < state.dependencyCount; ++r) {
    if (!isPreserved(static_cast<std::size_t>(r))) {
      writeVerdict(false);
      return;
    }
  }
  writeVerdict(true);
  closeInput(state.inputFile);
  closeOutput(state.outputFile);
}

}  // namespace fdpreserve
