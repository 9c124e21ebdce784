// The built program, run as a user runs it: console bytes, exit status and what became of files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/program_runner.h"
#include "support/temp_dir.h"
#include "support/verdicts.h"

namespace fdpreserve::testing {
namespace {

namespace fs = std::filesystem;

std::string announcement(const std::string& outputName) {
  return "\r\nA(z) " + outputName + " nevu fajl letrehozva!\r\n";
}

class CommandLineTest : public TempDirTest {
 protected:
  RunResult run(const std::vector<std::string>& arguments,
                StandardInput input = StandardInput::kEndOfFile) {
    return runProgram(dir_, arguments, input);
  }

  /// Every file the folder holds, by name.
  std::vector<std::string> listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};

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
  EXPECT_FALSE(fs::exists(path("out.txt")));
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
}

TEST_F(CommandLineTest, PatternMatchingNothingStaysAsTyped) {
  const RunResult result = run({"nothing*.txt", "out.txt"});
  EXPECT_EQ(result.console, "Hibas fajlnev!\r\n");
  EXPECT_EQ(result.exitStatus, 1);
}

TEST_F(CommandLineTest, UnreadableInputLeavesTheOutputAlone) {
  writeFile("out.txt", "keep me");
  fs::create_directory(path("folder"));
  for (const char* input : {"missing.txt", "folder"}) {
    const RunResult result = run({input, "out.txt"});
    EXPECT_EQ(result.console, "Hibas fajlnev!\r\n") << input;
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(readFile("out.txt"), "keep me");
    EXPECT_FALSE(fs::exists(path("new.txt")));
    EXPECT_EQ(run({input, "new.txt"}).exitStatus, 1);
    EXPECT_FALSE(fs::exists(path("new.txt"))) << input;
  }
}

TEST_F(CommandLineTest, OutputThatCannotBeCreated) {
  writeFile("in.txt", "A,B\n");
  fs::create_directory(path("folder"));
  for (const char* output : {"no/such/folder/out.txt", "folder"}) {
    const RunResult result = run({"in.txt", output});
    EXPECT_EQ(result.console, "Nem lehet letrehozni az output fajlt!\r\n") << output;
    EXPECT_EQ(result.exitStatus, 1);
  }
  EXPECT_EQ(readFile("in.txt"), "A,B\n");
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

TEST_F(CommandLineTest, SameFileForInputAndOutputKeepsTheInput) {
  writeFile("both.txt", "K,L\nK,M\n\nK->L\nL->M\n");
  const RunResult result = run({"both.txt", "both.txt"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(readFile("both.txt"), "K,L\r\nK,M\r\n\r\nK->L\r\nL->M\r\n\r\n" + kNotPreservingEnd);
}

TEST_F(CommandLineTest, FullDeviceIsReportedNotAnnouncedAsSuccess) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  writeFile("in.txt", "A,B\n\nA->B\n");
  const RunResult result = run({"in.txt", "/dev/full"});
  EXPECT_EQ(result.console, announcement("/dev/full") + "Hiba az output fajl irasakor!\r\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(readFile("in.txt"), "A,B\n\nA->B\n");
}

TEST_F(CommandLineTest, InputFromAFifoIsReadOnce) {
  ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);
  std::thread writer([this] {
    std::ofstream fifo(path("pipe"), std::ios::binary);
    fifo << "K,L\nL,M\n\nK->L\n";
  });
  const RunResult result = run({"pipe", "out.txt"});
  writer.join();
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(readFile("out.txt"), "K,L\r\nL,M\r\n\r\nK->L\r\n\r\n" + kPreservingEnd);
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

// A script may hold standard input open without ever writing to it: a pause would wait forever,
// and its prompt would land among the output the script reads.
TEST_F(CommandLineTest, PauseNeverWaitsWithoutATerminal) {
  writeFile("in.txt", "A\n");
  fs::create_directory(path("folder"));
  const std::vector<std::pair<std::vector<std::string>, std::string>> failures = {
      {{}, "Hianyzo parameter!\r\n"},
      {{"missing.txt", "out.txt"}, "Hibas fajlnev!\r\n"},
      {{"in.txt", "folder"}, "Nem lehet letrehozni az output fajlt!\r\n"},
  };
  for (const auto& [arguments, console] : failures) {
    const RunResult result = run(arguments, StandardInput::kIdlePipe);
    EXPECT_FALSE(result.timedOut) << console;
    EXPECT_EQ(result.console, console);
    EXPECT_EQ(result.exitStatus, 1);
  }
}

}  // namespace
}  // namespace fdpreserve::testing
