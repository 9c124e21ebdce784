// The built fdexplain's command line: exit statuses, files that cannot be read among those that
// can, a wrong command line, and a report that cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "explain/explain_runner.h"
#include "version.h"

namespace fdpreserve::testing {
namespace {

namespace fs = std::filesystem;

const std::string kPreserving = "A,B\nB,C\n\nA->B\nB->C\nA->C\n";
const std::string kNotPreserving = "A,B\nC\n\nA->C\n";

class ExitStatusTest : public ExplainTest {
 protected:
  void SetUp() override {
    ExplainTest::SetUp();
    writeFile("yes.txt", kPreserving);
    writeFile("no.txt", kNotPreserving);
  }
};

TEST_F(ExitStatusTest, ZeroOnlyWhenEveryFilePreserves) {
  EXPECT_EQ(explain({"yes.txt"}).exitStatus, 0);
  EXPECT_EQ(explain({"yes.txt", "yes.txt"}).exitStatus, 0);
  EXPECT_EQ(explain({"yes.txt", "no.txt"}).exitStatus, 1);
  EXPECT_EQ(explain({"--json", "no.txt", "yes.txt"}).exitStatus, 1);
}

TEST_F(ExitStatusTest, AFileThatCannotBeReadAmongReadableOnes) {
  fs::create_directory(path("folder"));
  for (const std::string unreadable : {"missing.txt", "folder"}) {
    const RunResult json = explain({"--json", "no.txt", unreadable, "yes.txt"});
    EXPECT_EQ(json.exitStatus, 2);
    const std::vector<nlohmann::json> objects = parseJsonLines(json.console);
    ASSERT_EQ(objects.size(), 3U);
    EXPECT_EQ(objects[0]["preserving"], false);
    EXPECT_EQ(objects[1]["file"], unreadable);
    EXPECT_TRUE(objects[1]["error"].is_string());
    EXPECT_EQ(objects[2]["preserving"], true);
    // One line on standard error, naming the file.
    EXPECT_EQ(std::count(json.errors.begin(), json.errors.end(), '\n'), 1) << json.errors;
    EXPECT_TRUE(json.errors.starts_with("fdexplain: " + unreadable + ": cannot be read"))
        << json.errors;

    const RunResult text = explain({"no.txt", unreadable, "yes.txt"});
    EXPECT_EQ(text.exitStatus, 2);
    EXPECT_NE(text.console.find("== no.txt"), std::string::npos);
    EXPECT_NE(text.console.find("== yes.txt"), std::string::npos);
    EXPECT_EQ(text.errors, json.errors);
  }
}

TEST_F(ExitStatusTest, TwoTextReportsAreSetApartByAnEmptyLine) {
  const RunResult result = explain({"yes.txt", "no.txt"});
  const std::string nl = reportLineEnd();
  EXPECT_NE(result.console.find(nl + nl + "== no.txt" + nl), std::string::npos);
  EXPECT_TRUE(result.console.starts_with("== yes.txt" + nl));
  EXPECT_EQ(result.console.find('\r'),
            programRunsUnderWine() ? result.console.find("\r\n") : std::string::npos);
}

TEST_F(ExitStatusTest, AWrongCommandLineSaysSoInOneLine) {
  for (const auto& arguments :
       {std::vector<std::string>{}, std::vector<std::string>{"--rule=some", "yes.txt"},
        std::vector<std::string>{"--colour", "yes.txt"}, std::vector<std::string>{"--json"}}) {
    const RunResult result = explain(arguments);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.console, "");
    EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << result.errors;
    EXPECT_TRUE(result.errors.starts_with("fdexplain: ")) << result.errors;
  }
  // After --, a name that looks like an option is a file.
  writeFile("--json", kPreserving);
  EXPECT_EQ(explain({"--", "--json"}).exitStatus, 0);
}

TEST_F(ExitStatusTest, HelpAndVersion) {
  const RunResult help = explain({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.console.find("Usage: fdexplain"), std::string::npos);
  EXPECT_NE(help.console.find("--rule"), std::string::npos);
  const RunResult version = explain({"--version"});
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_EQ(version.console, "fdexplain " + std::string(kVersion) + reportLineEnd());
}

TEST_F(ExitStatusTest, AReportNobodyReadsIsAFailure) {
  const RunResult result = runProgram(dir_, {"yes.txt"}, explainRun({.consoleUnread = true}));
  EXPECT_EQ(result.exitStatus, 2);
  EXPECT_EQ(result.errors, "fdexplain: cannot write the report" + reportLineEnd());
}

}  // namespace
}  // namespace fdpreserve::testing
