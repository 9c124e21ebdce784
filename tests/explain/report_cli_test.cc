// What the built fdexplain reports: both rules on the example where they part, agreement with
// fdpreserve's verdict on every end-to-end case and example, names shown as they are, and a large
// input kept readable.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "explain/explain_runner.h"
#include "support/verdicts.h"

namespace fdpreserve::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kCasesDir = FDPRESERVE_CASES_DIR;
const fs::path kExamplesDir = FDPRESERVE_EXAMPLES_DIR;

using ReportTest = ExplainTest;

TEST_F(ReportTest, BothRulesOnTheExampleWhereTheyPart) {
  fs::copy_file(kExamplesDir / "any_one_attribute.txt", path("km.txt"));
  const RunResult ours = explain({"--json", "km.txt"});
  const RunResult textbook = explain({"--json", "--rule=textbook", "km.txt"});
  EXPECT_EQ(ours.exitStatus, 0);
  EXPECT_EQ(textbook.exitStatus, 1);
  for (const RunResult& result : {ours, textbook}) {
    const nlohmann::json report = parseJsonLines(result.console).at(0);
    // Whatever rule decides, "preserving" and "preserved" stay ours.
    EXPECT_EQ(report["preserving"], true);
    EXPECT_EQ(report["textbook_preserving"], false);
    EXPECT_EQ(report["dependencies"][0]["line"], 4);
    EXPECT_EQ(report["dependencies"][0]["preserved"], true);
    EXPECT_EQ(report["dependencies"][0]["textbook_preserved"], false);
  }
  EXPECT_EQ(parseJsonLines(ours.console).at(0)["rule"], "any");
  EXPECT_EQ(parseJsonLines(textbook.console).at(0)["rule"], "textbook");

  const std::string text = explain({"km.txt"}).console;
  const std::string nl = reportLineEnd();
  EXPECT_NE(
      text.find("Where the two rules part" + nl + "  line 4  K, L -> M" + nl +
                "    this tool's rule: preserved" + nl + "      pass 1: line 1 (K, M) added M" +
                nl + "    textbook rule: not preserved; reached K, L; missing M" + nl),
      std::string::npos)
      << text;
}

/// Every end-to-end case's input and every example.
std::vector<fs::path> everyInput() {
  std::vector<fs::path> inputs;
  for (const std::string& name : namesIn(kCasesDir)) inputs.push_back(kCasesDir / name / "input");
  for (const std::string& name : namesIn(kExamplesDir)) inputs.push_back(kExamplesDir / name);
  return inputs;
}

TEST_F(ReportTest, JsonAgreesWithFdpreserveOnEveryCaseAndExample) {
  for (const fs::path& input : everyInput()) {
    SCOPED_TRACE(input.string());
    fs::copy_file(input, path("in.txt"), fs::copy_options::overwrite_existing);
    ASSERT_EQ(runProgram(dir_, {"in.txt", "out.txt"}).exitStatus, 0);
    const std::string output = readFile("out.txt");
    const bool preserving =
        output.ends_with(kPreservingEnd) && !output.ends_with(kNotPreservingEnd);

    const RunResult result = explain({"--json", "in.txt"});
    EXPECT_EQ(result.exitStatus, preserving ? 0 : 1);
    const nlohmann::json report = parseJsonLines(result.console).at(0);
    EXPECT_EQ(report["preserving"], preserving);
    // Lines as the reader counts them: subschemas from 1, dependencies past the empty line.
    const std::size_t subschemas = report["subschemas"].size();
    for (std::size_t r = 0; r < subschemas; ++r) EXPECT_EQ(report["subschemas"][r]["line"], r + 1);
    bool anyFails = false;
    for (std::size_t d = 0; d < report["dependencies"].size(); ++d) {
      const nlohmann::json& dependency = report["dependencies"][d];
      EXPECT_EQ(dependency["line"], subschemas + 2 + d);
      anyFails = anyFails || dependency["preserved"] == false;
      // A failure's reached set holds its left side and lacks what is missing.
      if (dependency["preserved"] == false) {
        for (const auto& name : dependency["left"]) {
          EXPECT_NE(std::find(dependency["reached"].begin(), dependency["reached"].end(), name),
                    dependency["reached"].end());
        }
        for (const auto& name : dependency["missing"]) {
          EXPECT_EQ(std::find(dependency["reached"].begin(), dependency["reached"].end(), name),
                    dependency["reached"].end());
        }
      }
    }
    EXPECT_EQ(anyFails, !preserving);
  }
}

TEST_F(ReportTest, NamesShowTheirBlanksAndControlBytes) {
  writeFile("in.txt", "A,B \n\nA,\tC\r\x1B->B \n");
  const std::string text = explain({"in.txt"}).console;
  EXPECT_NE(text.find("line 1  A, \"B \"" + reportLineEnd()), std::string::npos) << text;
  EXPECT_NE(text.find("\"\\tC\\r\\x1B\" -> \"B \""), std::string::npos) << text;
}

TEST_F(ReportTest, NamesOfAFileThatIsNotUtf8AreReadAsIso88592) {
  // F5 is an o with a double acute in ISO 8859-2, and not UTF-8 on its own.
  const nlohmann::json report = jsonOn("in.txt", "\xF5r,K\n\nK->\xF5r\n");
  EXPECT_EQ(report["encoding"], "iso-8859-2");
  EXPECT_EQ(report["subschemas"][0]["attributes"][0], "\xC5\x91r");
  EXPECT_EQ(report["verdict"], "f\xC3\xBCgg\xC5\x91s\xC3\xA9g\xC5\x91rz\xC5\x91");
  EXPECT_EQ(jsonOn("utf8.txt", "\xC5\x91r,K\n\nK->\xC5\x91r\n")["encoding"], "utf-8");
}

TEST_F(ReportTest, ALargeInputGetsSummariesUnlessAllAsks) {
  std::string input = "A,B\n\n";
  constexpr int kFailures = 300;
  for (int i = 0; i < kFailures; ++i) input += "A->X" + std::to_string(i) + "\n";
  writeFile("in.txt", input);
  const auto lineCount = [](const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  };
  const RunResult summary = explain({"in.txt"});
  EXPECT_EQ(summary.exitStatus, 1);
  EXPECT_LT(lineCount(summary.console), 300U);
  EXPECT_NE(summary.console.find("... and 290 more not preserved (--all explains them)"),
            std::string::npos);
  const RunResult all = explain({"--all", "in.txt"});
  EXPECT_GT(lineCount(all.console), 3U * kFailures);
  EXPECT_EQ(parseJsonLines(explain({"--json", "in.txt"}).console).at(0)["dependencies"].size(),
            kFailures + 1U);
}

}  // namespace
}  // namespace fdpreserve::testing
