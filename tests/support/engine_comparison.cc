#include "support/engine_comparison.h"

#include "model/analysis_state.h"

namespace fdpreserve::testing {

const std::vector<EngineLimits>& engineLimitSets() {
  static const std::vector<EngineLimits> sets{
      EngineLimits{},
      EngineLimits{.wordSubschema = 0,
                   .exactSubschemaWord = 0,
                   .signatureBits = 1,
                   .lookedThroughSides = 0,
                   .stepMatrixAttributes = 0,
                   .searchWalks = 0,
                   .innerStepWalks = 0,
                   .twoThreadSettling = 2},
      EngineLimits{.wordSubschema = 1,
                   .exactSubschemaWord = 64,
                   .stepMatrixAttributes = 8192,
                   .searchWalks = 1000,
                   .twoThreadSettling = 3},
      EngineLimits{.wordSubschema = 2,
                   .exactSubschemaWord = 1,
                   .stepMatrixAttributes = 8192,
                   .searchWalks = 1,
                   .innerStepWalks = 1,
                   .twoThreadSettling = 3},
  };
  return sets;
}

std::vector<ReferenceAnswer> answersAsNames(const DependencyAnswers& answers) {
  std::vector<ReferenceAnswer> named(answers.entries);
  for (std::size_t entry = 0; entry < answers.entries; ++entry) {
    for (const AttributeId id : missingAttributes(answers, entry)) {
      named[entry].emplace_back(nameOf(state.attributeNames, id));
    }
  }
  return named;
}

}  // namespace fdpreserve::testing
