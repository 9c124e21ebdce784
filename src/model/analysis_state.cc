#include "model/analysis_state.h"

namespace fdpreserve {

AnalysisState state;

void resetAnalysisState() {
  closeInput(state.inputFile);
  discardOutput(state.outputFile);
  state.outputFile.failed = false;
  state.lineBuffer = {};
  state.intersectionScratch = AttributeList();
  state.unionScratch = AttributeList();
  state.reachScratch = AttributeList();
  state.attributeNames = NamePool();
  state.decomposition = DecompositionTable();
  state.dependencies = DependencyTable();
  state.schemaCount = 0;
  state.dependencyCount = 0;
}

}  // namespace fdpreserve
