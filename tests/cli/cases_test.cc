// End-to-end cases kept as data: each folder under cases/ holds `input`, the bytes the output file
// must end up with in `expected`, and, where they differ from a plain success, the console bytes in
// `console` and the exit status in `status`. The program runs as `fdpreserve input out.txt`.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/program_runner.h"
#include "support/temp_dir.h"

namespace fdpreserve::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kCasesDir = FDPRESERVE_CASES_DIR;

class CaseTest : public TempDirTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(CaseTest, ProducesExpectedBytes) {
  const fs::path caseDir = kCasesDir / GetParam();
  fs::copy_file(caseDir / "input", path("input"));

  const RunResult result = runProgram(dir_, {"input", "out.txt"});

  const std::string console = fs::exists(caseDir / "console")
                                  ? readWholeFile(caseDir / "console")
                                  : "\r\nA(z) out.txt nevu fajl letrehozva!\r\n";
  const int status =
      fs::exists(caseDir / "status") ? std::stoi(readWholeFile(caseDir / "status")) : 0;
  EXPECT_EQ(result.console, console);
  EXPECT_EQ(result.exitStatus, status);
  EXPECT_EQ(readFile("out.txt"), readWholeFile(caseDir / "expected"));
  EXPECT_EQ(readFile("input"), readWholeFile(caseDir / "input")) << "the input changed";
}

INSTANTIATE_TEST_SUITE_P(Cases, CaseTest, ::testing::ValuesIn(namesIn(kCasesDir)),
                         [](const auto& testInfo) { return testInfo.param; });

}  // namespace
}  // namespace fdpreserve::testing
