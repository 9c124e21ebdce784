// End-to-end cases kept as data: each folder under cases/ holds `input`, the bytes the output file
// must end up with in `expected`, and, where they differ from a plain success, the console bytes in
// `console` and the exit status in `status`. The program runs as `fdpreserve input out.txt`.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/program_runner.h"
#include "support/temp_dir.h"

namespace fdpreserve::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kCasesDir = FDPRESERVE_CASES_DIR;

std::vector<std::string> caseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kCasesDir)) {
    if (entry.is_directory()) names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

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
}

INSTANTIATE_TEST_SUITE_P(Cases, CaseTest, ::testing::ValuesIn(caseNames()),
                         [](const auto& testInfo) { return testInfo.param; });

}  // namespace
}  // namespace fdpreserve::testing
