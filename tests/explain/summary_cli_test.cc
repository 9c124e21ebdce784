// The built fdexplain's summary for grading, as a teacher runs it on a class's files: one line a
// file in either language, unreadable files among readable ones, the exit status, and a long list
// of lines cut short. That the CSV parses, and agrees with the JSON report, is for a CSV library
// to say (summary_csv_test.py).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "explain/explain_runner.h"

namespace fdpreserve::testing {
namespace {

namespace fs = std::filesystem;

class SummaryTest : public ExplainTest {
 protected:
  void SetUp() override {
    ExplainTest::SetUp();
    writeFile("yes.txt", "A,B\nB,C\n\nA->B\nB->C\nA->C\n");
    // Not preserved on lines 4 and 6, under both rules; the gap on line 7 gets a note.
    writeFile("no.txt", "A,B\nC\n\nA->C\nA->B\nB->C\nB->A,,C\n");
    // The two rules part: ours preserves it, the textbook rule does not.
    writeFile("km.txt", "K,M\nL,M\n\nK,L->M\n");
    fs::create_directory(path("folder"));
  }
};

TEST_F(SummaryTest, OneLineAFileInEnglishAndInHungarian) {
  const std::vector<std::string> arguments = {"--summary", "yes.txt", "no.txt", "km.txt"};
  std::vector<std::string> english = arguments;
  english.insert(english.begin(), "--lang=en");
  const RunResult inEnglish = explain(english);
  EXPECT_EQ(inEnglish.exitStatus, 1);
  EXPECT_EQ(inEnglish.errors, "");
  EXPECT_EQ(reportLines(inEnglish.console),
            (std::vector<std::string>{
                "yes.txt: függőségőrző; textbook rule: függőségőrző; every dependency preserved; "
                "0 notes on odd lines",
                "no.txt: nem függőségőrző; textbook rule: nem függőségőrző; not preserved: "
                "lines 4, 6; 1 note on odd lines",
                "km.txt: függőségőrző; textbook rule: nem függőségőrző; every dependency "
                "preserved; 0 notes on odd lines"}));

  std::vector<std::string> hungarian = arguments;
  hungarian.insert(hungarian.begin(), "--lang=hu");
  EXPECT_EQ(reportLines(explain(hungarian).console),
            (std::vector<std::string>{
                "yes.txt: függőségőrző; tankönyvi szabály: függőségőrző; minden függőség "
                "megőrződik; 0 megjegyzés a szokatlan sorokról",
                "no.txt: nem függőségőrző; tankönyvi szabály: nem függőségőrző; a meg nem őrzött "
                "függőségek sorai: 4, 6; 1 megjegyzés a szokatlan sorokról",
                "km.txt: függőségőrző; tankönyvi szabály: nem függőségőrző; minden függőség "
                "megőrződik; 0 megjegyzés a szokatlan sorokról"}));
}

TEST_F(SummaryTest, UnreadableFilesGetARowAndTheOthersTheirs) {
  const RunResult result =
      explain({"--summary", "--lang=en", "yes.txt", "missing.txt", "folder", "no.txt"});
  EXPECT_EQ(result.exitStatus, 2);
  const std::vector<std::string> lines = reportLines(result.console);
  ASSERT_EQ(lines.size(), 4U) << result.console;
  EXPECT_TRUE(lines[0].starts_with("yes.txt: függőségőrző;")) << lines[0];
  EXPECT_TRUE(lines[1].starts_with("missing.txt: error: cannot be read")) << lines[1];
  EXPECT_TRUE(lines[2].starts_with("folder: error: cannot be read")) << lines[2];
  EXPECT_TRUE(lines[3].starts_with("no.txt: nem függőségőrző;")) << lines[3];
  // Each unreadable file has its line on standard error too, as without --summary.
  const std::vector<std::string> errors = reportLines(result.errors);
  ASSERT_EQ(errors.size(), 2U) << result.errors;
  EXPECT_TRUE(errors[0].starts_with("fdexplain: missing.txt: cannot be read")) << errors[0];
  EXPECT_TRUE(errors[1].starts_with("fdexplain: folder: cannot be read")) << errors[1];
}

TEST_F(SummaryTest, TheDecidingRuleSetsTheExitStatus) {
  EXPECT_EQ(explain({"--summary", "yes.txt", "km.txt"}).exitStatus, 0);
  EXPECT_EQ(explain({"--summary", "--csv", "--rule=textbook", "yes.txt", "km.txt"}).exitStatus, 1);
  EXPECT_EQ(explain({"--summary", "--rule=textbook", "yes.txt"}).exitStatus, 0);
}

TEST_F(SummaryTest, ManyFailingLinesAreCutShortUnlessAllIsAsked) {
  std::string input = "A\nB\n\n";
  for (int i = 0; i < 12; ++i) input += "A->B\n";
  writeFile("many.txt", input);
  const std::string cut = explain({"--summary", "--lang=en", "many.txt"}).console;
  EXPECT_NE(cut.find("lines 4, 5, 6, 7, 8, 9, 10, 11, 12, 13 and 2 more (--all lists them);"),
            std::string::npos)
      << cut;
  const std::string all = explain({"--summary", "--lang=en", "--all", "many.txt"}).console;
  EXPECT_NE(all.find("lines 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15;"), std::string::npos) << all;
  const std::string csv = explain({"--summary", "--csv", "many.txt"}).console;
  EXPECT_NE(csv.find(",4;5;6;7;8;9;10;11;12;13;14;15,"), std::string::npos) << csv;
}

}  // namespace
}  // namespace fdpreserve::testing
