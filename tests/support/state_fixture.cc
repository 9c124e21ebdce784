#include "support/state_fixture.h"

#include <utility>

#include "driver/run.h"
#include "model/reader.h"

namespace fdpreserve::testing {

void StateTest::readTables(std::string bytes) {
  sizeTables(state.decomposition, state.dependencies);
  openInputFromBytes(state.inputFile, std::move(bytes));
  readDecomposition();
  readDependencies();
}

std::string StateTest::runInMemory(std::string bytes) {
  std::string output;
  openJobInMemory(std::move(bytes), output);
  copyAndAnalyse();
  closeOutput(state.outputFile);
  return output;
}

}  // namespace fdpreserve::testing
