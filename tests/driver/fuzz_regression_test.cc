// Inputs the fuzzer once found troublesome (a crash, a hang, undefined behaviour, runaway time),
// replayed in process: each must run through to a verdict. The sanitizer build watches for memory
// and undefined-behaviour faults on the way.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/state_fixture.h"
#include "support/temp_dir.h"
#include "support/verdicts.h"

namespace fdpreserve::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kRegressionsDir = FDPRESERVE_FUZZ_REGRESSIONS_DIR;

class FuzzRegressionTest : public StateTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(FuzzRegressionTest, RunsThroughToAVerdict) {
  const std::string output = runInMemory(readWholeFile(kRegressionsDir / GetParam()));
  EXPECT_TRUE(output.ends_with(kPreservingEnd) || output.ends_with(kNotPreservingEnd));
}

INSTANTIATE_TEST_SUITE_P(FuzzRegressions, FuzzRegressionTest,
                         ::testing::ValuesIn(namesIn(kRegressionsDir)),
                         [](const auto& regression) { return regression.param; });

}  // namespace
}  // namespace fdpreserve::testing
