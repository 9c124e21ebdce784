#include "support/reference_preservation.h"

#include <algorithm>
#include <utility>

#include "analysis/attribute_list.h"
#include "analysis/preservation.h"
#include "driver/line_reader.h"
#include "driver/run.h"
#include "model/analysis_state.h"
#include "model/reader.h"

namespace fdpreserve::testing {
namespace {

/// The attributes the passes reach from the left side of `entry`.
AttributeList reachedByPasses(std::size_t entry) {
  AttributeList reached = rowAsList(leftSide(state.dependencies, entry));
  AttributeList reachedBefore;
  do {
    reachedBefore = reached;
    projectedReach(reached);
  } while (reached != reachedBefore);
  return reached;
}

ReferenceAnswer answerByPasses(std::size_t entry) {
  const AttributeList reached = reachedByPasses(entry);
  ReferenceAnswer lacking;
  for (const AttributeName& name : rowAsList(rightSide(state.dependencies, entry))) {
    if (name.empty()) break;  // the first free slot ends the side
    if (isSubset({name}, reached)) continue;
    if (std::find(lacking.begin(), lacking.end(), name) == lacking.end()) lacking.push_back(name);
  }
  return lacking;
}

}  // namespace

std::vector<ReferenceAnswer> answersByPasses() {
  std::vector<ReferenceAnswer> answers;
  for (std::int64_t r = 0; r < state.dependencyCount; ++r) {
    answers.push_back(answerByPasses(static_cast<std::size_t>(r)));
  }
  return answers;
}

ReferenceRun referenceRun(std::string input) {
  ReferenceRun run;
  openJobInMemory(std::move(input), run.output);
  echoInput();
  reopenInput(state.inputFile);
  readDecomposition();
  readDependencies();
  run.answers = answersByPasses();
  const bool preserved = std::all_of(run.answers.begin(), run.answers.end(),
                                     [](const ReferenceAnswer& answer) { return answer.empty(); });
  writeVerdict(preserved);
  closeOutput(state.outputFile);
  return run;
}

}  // namespace fdpreserve::testing
