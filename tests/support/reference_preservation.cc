#include "support/reference_preservation.h"

#include <utility>

#include "analysis/attribute_list.h"
#include "analysis/preservation.h"
#include "driver/line_reader.h"
#include "driver/run.h"
#include "model/analysis_state.h"
#include "model/reader.h"

namespace fdpreserve::testing {

bool preservedByPasses() {
  for (std::int64_t r = 0; r < state.dependencyCount; ++r) {
    const auto entry = static_cast<std::size_t>(r);
    const AttributeList leftCopy = rowAsList(leftSide(state.dependencies, entry));
    const AttributeList rightCopy = rowAsList(rightSide(state.dependencies, entry));
    AttributeList reached = leftCopy;
    AttributeList reachedBefore;
    do {
      reachedBefore = reached;
      projectedReach(reached);
    } while (reached != reachedBefore);
    if (!isSubset(rightCopy, reached)) return false;
  }
  return true;
}

std::string referenceOutput(std::string input) {
  std::string output;
  openJobInMemory(std::move(input), output);
  echoInput();
  reopenInput(state.inputFile);
  readDecomposition();
  readDependencies();
  writeVerdict(preservedByPasses());
  closeOutput(state.outputFile);
  return output;
}

}  // namespace fdpreserve::testing
