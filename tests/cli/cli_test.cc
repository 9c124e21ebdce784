// The built program, run as a user runs it: console bytes, exit status and what became of files.
// What happens when files or the system misbehave is in fault_test.cc.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <random>
#include <string>

#include "driver/run.h"
#include "model/analysis_state.h"
#include "support/console_texts.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"
#include "support/verdicts.h"

namespace fdpreserve::testing {
namespace {

namespace fs = std::filesystem;

class CommandLineTest : public TempDirTest {
 protected:
  RunResult run(const std::vector<std::string>& arguments,
                StandardInput input = StandardInput::kEndOfFile) {
    return runProgram(dir_, arguments, input);
  }
};

/// Megabytes of dependency lines, mostly plain, with lines of every odd kind among them: read on
/// two threads when the output is a file.
std::string largeMixedInput(unsigned seed, const char* lineEnd) {
  std::mt19937 random(seed);
  const auto name = [&] {
    static const char* const kNames[] = {"A1", "B2", "C3",          "D4",  "E5",
                                         "F6", "G7", "Long name 8", "x-y", ""};
    return std::string(kNames[random() % 40 < 36 ? random() % 7 : 7 + random() % 3]);
  };
  std::string text =
      std::string("A1,B2,C3,Long name 8") + lineEnd + "C3,D4,E5,F6" + lineEnd + lineEnd;
  while (text.size() < 3 * (std::size_t{1} << 20)) {
    const auto kind = static_cast<unsigned>(random() % 50);
    text += name() + (kind % 2 == 0 ? "," + name() : "");
    if (kind != 0) text += kind == 1 ? "-" : "->";
    if (kind != 2) text += name() + (kind % 3 == 0 ? "," + name() : "");
    text += lineEnd;
  }
  return seed % 2 == 0 ? text : text + "A1->G7";
}

TEST_F(CommandLineTest, LargeInputsGetTheBytesOfTheRunInMemory) {
  for (const unsigned seed : {1U, 2U}) {
    for (const char* lineEnd : {"\n", "\r\n"}) {
      const std::string input = largeMixedInput(seed, lineEnd);
      std::string expected;
      openJobInMemory(input, expected);
      copyAndAnalyse();
      closeOutput(state.outputFile);
      resetAnalysisState();
      writeFile("in.txt", input);
      const RunResult result = run({"in.txt", "out.txt"});
      EXPECT_EQ(result.exitStatus, 0);
      EXPECT_TRUE(readFile("out.txt") == expected) << "seed " << seed;
    }
  }
}

TEST_F(CommandLineTest, TooFewArgumentsOpenNothing) {
  writeFile("in.txt", "A,B\n");
  for (const auto& arguments : {std::vector<std::string>{}, std::vector<std::string>{"in.txt"}}) {
    const RunResult result = run(arguments);
    EXPECT_EQ(result.console, "Hianyzo parameter!\r\n");
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.errors, "");
  }
  EXPECT_EQ(listing(), std::vector<std::string>{"in.txt"});
}

TEST_F(CommandLineTest, TooManyArgumentsOpenNothingEvenWhenUsable) {
  writeFile("in.txt", "A,B\n");
  const RunResult result = run({"in.txt", "out.txt", "extra"});
  EXPECT_EQ(result.console, "Tul sok parameter!\r\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(listing(), std::vector<std::string>{"in.txt"});
}

TEST_F(CommandLineTest, PatternMatchingTwoFilesCountsAsTwoArguments) {
  writeFile("a1.txt", "A\n");
  writeFile("a2.txt", "B\n");
  const RunResult result = run({"a*.txt", "out.txt"});
  EXPECT_EQ(result.console, "Tul sok parameter!\r\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(listing(), (std::vector<std::string>{"a1.txt", "a2.txt"}));
  EXPECT_EQ(readFile("a1.txt"), "A\n");
  EXPECT_EQ(readFile("a2.txt"), "B\n");
}

TEST_F(CommandLineTest, PatternMatchingOneFileNamesIt) {
  writeFile("[in].txt", "A,B\n\nA->B\n");
  // The output pattern matches nothing, so it names the file as typed. Windows allows no * in a
  // file name, so there it could only fail to open: take a plain name.
  const std::string output = programRunsUnderWine() ? "out.txt" : "o*.txt";
  const RunResult result = run({"[in]?txt", output});
  EXPECT_EQ(result.console, announcement(output));
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(readFile(output), "A,B\r\n\r\nA->B\r\n\r\n" + kPreservingEnd);
  EXPECT_EQ(readFile("[in].txt"), "A,B\n\nA->B\n");
}

TEST_F(CommandLineTest, PatternMatchingNothingStaysAsTyped) {
  const RunResult result = run({"nothing*.txt", "out.txt"});
  EXPECT_EQ(result.console, "Hibas fajlnev!\r\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(listing(), std::vector<std::string>{});
}

TEST_F(CommandLineTest, SuccessOverwritesAndAnnouncesTheNameAsTyped) {
  writeFile("in.txt", "A,B\n\nA->B");
  writeFile("old out.txt", "an old and much longer content that must disappear");
  const RunResult result = run({"in.txt", "./old out.txt"});
  EXPECT_EQ(result.console, announcement("./old out.txt"));
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.errors, "");
  EXPECT_EQ(readFile("old out.txt"), "A,B\r\n\r\nA->B\r\n" + kPreservingEnd);
}

TEST_F(CommandLineTest, NewOutputIsAnOrdinaryWritableFile) {
  writeFile("in.txt", "A\n");
  ASSERT_EQ(run({"in.txt", "out.txt"}).exitStatus, 0);
  if (programRunsUnderWine()) {
    // Windows has no permission bits: an ordinary file is one without the read-only attribute,
    // which Wine shows as the owner's write bit. The other bits are Wine's choice, not ours.
    EXPECT_NE(fs::status(path("out.txt")).permissions() & fs::perms::owner_write, fs::perms::none);
    return;
  }
  const mode_t mask = umask(0);
  umask(mask);
  struct stat info {};
  ASSERT_EQ(stat(path("out.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0664 & ~mask);
}

TEST_F(CommandLineTest, PauseWaitsForOneKeyOnATerminal) {
  if (programRunsUnderWine()) {
    GTEST_SKIP() << "on Windows the pause is the command interpreter's PAUSE, whose prompt is its "
                    "own, in the language of the system; Wine's interpreter prints one that no "
                    "Windows prints (\"Press any key to continue... \"), so there is nothing to "
                    "compare with";
  }
  const RunResult result = run({}, StandardInput::kTerminalWithKey);
  EXPECT_FALSE(result.timedOut) << "one key, without Enter, must end the wait";
  EXPECT_EQ(result.console,
            "Hianyzo parameter!\r\nA folytatashoz nyomjon meg egy billentyut . . . \r\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_TRUE(result.terminalSettingsKept);
}

}  // namespace
}  // namespace fdpreserve::testing
