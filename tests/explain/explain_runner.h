#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/program_runner.h"
#include "support/temp_dir.h"

namespace fdpreserve::testing {

/// fdexplain under test: $FDEXPLAIN_PROGRAM when set (the Windows build under Wine, through a
/// wrapper), otherwise the binary this build made.
std::string explainUnderTest();

/// How to run fdexplain under test: `options` with the program chosen and the user's locale set
/// aside (LC_ALL=C), so that a report is in English wherever the tests run.
RunOptions explainRun(RunOptions options = {});

/// The text report's line end: CR LF from the Windows build.
std::string reportLineEnd();

/// The lines of a text report, without their line ends.
std::vector<std::string> reportLines(const std::string& console);

/// Every line of a JSON Lines text, parsed; a line that does not parse fails the test.
std::vector<nlohmann::json> parseJsonLines(const std::string& text);

/// A folder of its own for each test, and fdexplain run in it.
class ExplainTest : public TempDirTest {
 protected:
  /// Runs fdexplain with `arguments` in the folder.
  RunResult explain(const std::vector<std::string>& arguments) const;
  /// Runs fdexplain with `arguments` in the folder, `bytes` piped into its standard input.
  RunResult explainPiped(const std::vector<std::string>& arguments, const std::string& bytes) const;
  /// Writes `bytes` to `name` and returns fdexplain's JSON object on it.
  nlohmann::json jsonOn(const std::string& name, const std::string& bytes) const;
};

}  // namespace fdpreserve::testing
