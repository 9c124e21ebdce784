// The built program against a hostile world: files that cannot be read or written, odd bytes,
// terminals, and memory running out. Each test checks the console bytes, the exit status and
// what became of every file involved.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/console_texts.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"
#include "support/terminal_session.h"
#include "support/verdicts.h"

namespace fdpreserve::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr std::size_t kMiB = std::size_t{1} << 20;

const std::string kInput = "A,B\n\nA->B\n";
const std::string kInputCopy = "A,B\r\n\r\nA->B\r\n\r\n";

/// An input of some megabytes, large enough that its copy is written beside the reader, and
/// its copy.
struct LargeInput {
  std::string bytes = "A,B\n\n";
  std::string copy = "A,B\r\n\r\n";
  LargeInput() {
    for (int line = 0; line < 400'000; ++line) {
      bytes += "A->B\n";
      copy += "A->B\r\n";
    }
    copy += "\r\n";
  }
};

class FaultTest : public TempDirTest {
 protected:
  RunResult run(const std::vector<std::string>& arguments, const RunOptions& options = {}) {
    return runProgram(dir_, arguments, options);
  }
};

// Output faults.

TEST_F(FaultTest, OutputOnAFullDevice) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  for (const std::string& input : {kInput, LargeInput().bytes}) {
    writeFile("in.txt", input);
    const RunResult result = run({"in.txt", "/dev/full"});
    EXPECT_EQ(result.console, announcement("/dev/full") + "Hiba az output fajl irasakor!\r\n");
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(listing(), std::vector<std::string>{"in.txt"});
    EXPECT_TRUE(readFile("in.txt") == input);
  }
}

TEST_F(FaultTest, OutputInAMissingFolder) {
  writeFile("in.txt", kInput);
  const RunResult result = run({"in.txt", "no/such/folder/out.txt"});
  EXPECT_EQ(result.console, "Nem lehet letrehozni az output fajlt!\r\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(listing(), std::vector<std::string>{"in.txt"});  // no folder made on the way
  EXPECT_EQ(readFile("in.txt"), kInput);
}

TEST_F(FaultTest, OutputThatIsAFolder) {
  writeFile("in.txt", kInput);
  fs::create_directory(path("folder"));
  const RunResult result = run({"in.txt", "folder"});
  EXPECT_EQ(result.console, "Nem lehet letrehozni az output fajlt!\r\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_TRUE(fs::is_directory(path("folder")));
  EXPECT_TRUE(fs::is_empty(path("folder")));
  EXPECT_EQ(readFile("in.txt"), kInput);
}

TEST_F(FaultTest, OutputThatIsAReadOnlyFile) {
  // File modes do not bind for root: where the tests run as root, the program runs as nobody.
  const RunOptions options{.withoutPrivileges = true};
  if (programRunsUnderWine() && programUserId(options) != geteuid()) {
    GTEST_SKIP() << "Wine runs only as the owner of its prefix";
  }
  writeFile("in.txt", kInput);
  writeFile("out.txt", "keep me");
  fs::permissions(path("out.txt"),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  // Whoever runs the program may enter the folder and read the input, and nothing more.
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  const RunResult result = run({"in.txt", "out.txt"}, options);
  EXPECT_EQ(result.console, "Nem lehet letrehozni az output fajlt!\r\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(readFile("out.txt"), "keep me");
  EXPECT_EQ(fs::status(path("out.txt")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(readFile("in.txt"), kInput);
  EXPECT_EQ(listing(), (std::vector<std::string>{"in.txt", "out.txt"}));
}

TEST_F(FaultTest, ConsoleThatNobodyReads) {
  // Nobody to tell is no reason to stop: the output, here the input file itself, must not be left
  // truncated.
  writeFile("both.txt", kInput);
  const RunResult result = run({"both.txt", "both.txt"}, RunOptions{.consoleUnread = true});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.errors, "");
  EXPECT_EQ(readFile("both.txt"), kInputCopy + kPreservingEnd);
  EXPECT_EQ(listing(), std::vector<std::string>{"both.txt"});
}

TEST_F(FaultTest, OutputPastTheFileSizeLimit) {
  if (programRunsUnderWine()) GTEST_SKIP() << "the file size limit is a POSIX one";
  for (const std::string& input : {kInput, LargeInput().bytes}) {
    writeFile("in.txt", input);
    const RunResult result = run({"in.txt", "out.txt"}, RunOptions{.fileSizeLimit = 8});
    EXPECT_EQ(result.console, announcement("out.txt") + "Hiba az output fajl irasakor!\r\n");
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(readFile("out.txt"), kInputCopy.substr(0, 8));  // as much as the limit let through
    EXPECT_TRUE(readFile("in.txt") == input);
  }
}

TEST_F(FaultTest, LargeInputIsCopiedWholeBeforeItsVerdict) {
  const LargeInput input;
  writeFile("in.txt", input.bytes);
  const RunResult result = run({"in.txt", "out.txt"});
  EXPECT_EQ(result.console, announcement("out.txt"));
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_TRUE(readFile("out.txt") == input.copy + kPreservingEnd);
}

// Input faults.

class UnreadableInputTest : public FaultTest {
 protected:
  /// Runs with `input` onto an existing output and onto a new one: each run reports the input,
  /// the existing output keeps its bytes, and the new one is not created.
  void expectOutputsUntouched(const std::string& input) {
    writeFile("out.txt", "keep me");
    for (const char* output : {"out.txt", "new.txt"}) {
      const RunResult result = run({input, output});
      EXPECT_EQ(result.console, "Hibas fajlnev!\r\n") << output;
      EXPECT_EQ(result.exitStatus, 1);
    }
    EXPECT_EQ(readFile("out.txt"), "keep me");
    EXPECT_FALSE(fs::exists(path("new.txt")));
  }
};

TEST_F(UnreadableInputTest, InputThatIsAFolder) {
  fs::create_directory(path("folder"));
  expectOutputsUntouched("folder");
  EXPECT_EQ(listing(), (std::vector<std::string>{"folder", "out.txt"}));
  EXPECT_TRUE(fs::is_empty(path("folder")));
}

TEST_F(UnreadableInputTest, InputThatDoesNotExist) {
  expectOutputsUntouched("missing.txt");
  EXPECT_EQ(listing(), std::vector<std::string>{"out.txt"});
}

TEST_F(FaultTest, InputAndOutputTheSameFile) {
  writeFile("both.txt", "K,L\nK,M\n\nK->L\nL->M\n");
  const RunResult result = run({"both.txt", "both.txt"});
  EXPECT_EQ(result.console, announcement("both.txt"));
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(readFile("both.txt"), "K,L\r\nK,M\r\n\r\nK->L\r\nL->M\r\n\r\n" + kNotPreservingEnd);
  EXPECT_EQ(listing(), std::vector<std::string>{"both.txt"});
}

TEST_F(FaultTest, OutputThatIsTheInputUnderAnotherName) {
  const std::string result = "A,B\r\n\r\nA->B\r\n\r\n" + kPreservingEnd;
  for (const bool hard : {true, false}) {
    SCOPED_TRACE(hard ? "hard link" : "symbolic link");
    writeFile("input.txt", "A,B\n\nA->B\n");
    fs::remove(path("link.txt"));
    if (hard) {
      fs::create_hard_link(path("input.txt"), path("link.txt"));
    } else {
      fs::create_symlink("input.txt", path("link.txt"));
    }
    EXPECT_EQ(run({"input.txt", "link.txt"}).exitStatus, 0);
    if (hard) {
      // The output's name gets a file of its own; the input's name keeps the old one.
      EXPECT_EQ(readFile("link.txt"), result);
      EXPECT_EQ(readFile("input.txt"), "A,B\n\nA->B\n");
    } else {
      // The file the link leads to is replaced, and the link stays a link.
      EXPECT_EQ(readFile("input.txt"), result);
      EXPECT_TRUE(fs::is_symlink(path("link.txt")));
    }
    EXPECT_EQ(listing(), (std::vector<std::string>{"input.txt", "link.txt"}));
  }
}

TEST_F(FaultTest, InputFromAFifo) {
  ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);
  std::thread writer([this] {
    std::ofstream fifo(path("pipe"), std::ios::binary);
    fifo << "K,L\nL,M\n\nK->L\n";
  });
  const RunResult result = run({"pipe", "out.txt"});
  writer.join();
  EXPECT_EQ(result.console, announcement("out.txt"));
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(readFile("out.txt"), "K,L\r\nL,M\r\n\r\nK->L\r\n\r\n" + kPreservingEnd);
  EXPECT_EQ(listing(), (std::vector<std::string>{"out.txt", "pipe"}));
  EXPECT_TRUE(fs::is_fifo(path("pipe")));
}

// Odd content. The small cases (NUL bytes, CR alone, 1A first, an empty file, only line feeds)
// are data under tests/cases.

TEST_F(FaultTest, InputWithALineOf100MB) {
  const std::string longName(100 * kMiB, 'X');
  writeFile("in.txt", longName + ",A\nA,B\n\nA->B\n");
  const RunResult result = run({"in.txt", "out.txt"});
  EXPECT_EQ(result.console, announcement("out.txt"));
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_TRUE(readFile("out.txt") == longName + ",A\r\nA,B\r\n\r\nA->B\r\n\r\n" + kPreservingEnd)
      << "the output differs from the copy and the verdict";
  EXPECT_TRUE(readFile("in.txt") == longName + ",A\nA,B\n\nA->B\n") << "the input changed";
}

// The pause.

struct PausingFailure {
  const char* name;
  std::vector<std::string> arguments;
  std::string console;  ///< everything before the prompt
  bool needsMemoryLimit = false;
};

// GoogleTest finds its printers by this name.
// NOLINTNEXTLINE(readability-identifier-naming)
void PrintTo(const PausingFailure& failure, std::ostream* out) {
  *out << failure.name;
}

class PauseTest : public FaultTest, public ::testing::WithParamInterface<PausingFailure> {
 protected:
  void SetUp() override {
    FaultTest::SetUp();
    if (GetParam().needsMemoryLimit && (kAddressSanitizer || programRunsUnderWine())) {
      GTEST_SKIP() << "an address-space limit works neither under AddressSanitizer nor under Wine";
    }
    writeFile("in.txt", kInput);
    writeFile("huge.txt", "");
    fs::resize_file(path("huge.txt"), std::uintmax_t{4} << 30);  // sparse: costs no disk
  }
  RunOptions options() const {
    RunOptions chosen;
    if (GetParam().needsMemoryLimit) chosen.addressSpaceLimit = 256 * kMiB;
    return chosen;
  }
};

TEST_P(PauseTest, UnderATerminalPromptsAfterTheMessageWaitsAndEndsOnOneKey) {
  if (programRunsUnderWine()) GTEST_SKIP() << "Wine's PAUSE prints a prompt of its own";
  TerminalSession session(dir_, GetParam().arguments, options());
  const std::string expected = GetParam().console + kPausePrompt;
  ASSERT_TRUE(session.waitForConsoleEnding(expected, milliseconds(20000))) << session.console();
  EXPECT_EQ(session.console(), expected);
  ASSERT_TRUE(session.waitForSingleKeyMode(milliseconds(5000)));
  std::this_thread::sleep_for(milliseconds(300));
  EXPECT_TRUE(session.running()) << "did not wait for a key";

  session.pressKey('x');  // one key, no Enter
  EXPECT_EQ(session.waitForExit(milliseconds(5000)), 1);
  EXPECT_EQ(session.console(), expected + "\r\n");  // the key itself is not echoed
  const termios before = session.initialSettings();
  const termios after = session.settings();
  EXPECT_EQ(after.c_lflag, before.c_lflag) << "the terminal's modes were not restored";
  EXPECT_EQ(after.c_cc[VMIN], before.c_cc[VMIN]);
  EXPECT_EQ(after.c_cc[VTIME], before.c_cc[VTIME]);
}

// A script may hold standard input open without ever writing to it: a pause would wait forever,
// and its prompt would land among the output the script reads.
TEST_P(PauseTest, WithoutATerminalNeitherPromptsNorWaits) {
  RunOptions chosen = options();
  chosen.input = StandardInput::kIdlePipe;
  const RunResult result = run(GetParam().arguments, chosen);
  EXPECT_FALSE(result.timedOut) << "waited for a key that nobody can press";
  EXPECT_EQ(result.console, GetParam().console);
  EXPECT_EQ(result.exitStatus, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, PauseTest,
    ::testing::Values(
        PausingFailure{"MissingParameter", {"in.txt"}, "Hianyzo parameter!\r\n"},
        PausingFailure{"BadFileName", {"missing.txt", "out.txt"}, "Hibas fajlnev!\r\n"},
        PausingFailure{"CannotCreateOutput",
                       {"in.txt", "no/folder/out.txt"},
                       "Nem lehet letrehozni az output fajlt!\r\n"},
        PausingFailure{"OutputWriteFailed",
                       {"in.txt", "/dev/full"},
                       announcement("/dev/full") + "Hiba az output fajl irasakor!\r\n"},
        PausingFailure{"OutOfMemory", {"huge.txt", "out.txt"}, "Nincs eleg memoria!\r\n", true}),
    [](const auto& failure) { return std::string(failure.param.name); });

TEST_F(FaultTest, UnderATerminalNoPauseAfterTooManyParametersOrSuccess) {
  if (programRunsUnderWine()) GTEST_SKIP() << "Wine's console on a terminal adds bytes of its own";
  writeFile("in.txt", kInput);
  {
    TerminalSession session(dir_, {"in.txt", "out.txt", "extra"});
    EXPECT_EQ(session.waitForExit(milliseconds(10000)), 1);
    EXPECT_EQ(session.console(), "Tul sok parameter!\r\n");
  }
  EXPECT_EQ(listing(), std::vector<std::string>{"in.txt"});
  TerminalSession session(dir_, {"in.txt", "out.txt"});
  EXPECT_EQ(session.waitForExit(milliseconds(10000)), 0);
  EXPECT_EQ(session.console(), announcement("out.txt"));
  EXPECT_EQ(readFile("out.txt"), kInputCopy + kPreservingEnd);
}

// Memory running out. The limit is on address space, which AddressSanitizer's shadow memory
// exceeds by far, and which Wine needs for itself: these run in the plain build only.

class MemoryTest : public FaultTest {
 protected:
  void SetUp() override {
    FaultTest::SetUp();
    if (kAddressSanitizer || programRunsUnderWine()) {
      GTEST_SKIP() << "an address-space limit works neither under AddressSanitizer nor under Wine";
    }
  }
  /// Room for the program itself, its libraries and small allocations, besides what a test
  /// counts for its input.
  static constexpr std::size_t kOwnNeeds = 32 * kMiB;

  static RunOptions limitedTo(std::size_t bytes) { return RunOptions{.addressSpaceLimit = bytes}; }
};

TEST_F(MemoryTest, InputOfGigabytesLeavesTheOutputAlone) {
  writeFile("huge.txt", "");
  fs::resize_file(path("huge.txt"), std::uintmax_t{4} << 30);
  writeFile("out.txt", "keep me");
  writeFile("small.txt", kInput);
  const RunOptions limit = limitedTo(256 * kMiB);
  ASSERT_EQ(run({"small.txt", "small.out"}, limit).exitStatus, 0) << "the limit is too tight";

  for (const char* output : {"out.txt", "new.txt"}) {
    const RunResult result = run({"huge.txt", output}, limit);
    EXPECT_EQ(result.console, "Nincs eleg memoria!\r\n");
    EXPECT_EQ(result.exitStatus, 1);
  }
  EXPECT_EQ(readFile("out.txt"), "keep me");
  EXPECT_EQ(listing(), (std::vector<std::string>{"huge.txt", "out.txt", "small.out", "small.txt"}));
  EXPECT_EQ(fs::file_size(path("huge.txt")), std::uintmax_t{4} << 30);
}

TEST_F(MemoryTest, SameFileTooLargeToCopyIsLeftUntouched) {
  // The copy needs the input and room for its longest line; here only the input fits.
  const std::string line(64 * kMiB, 'x');
  writeFile("both.txt", line + "\n");
  const RunResult result = run({"both.txt", "both.txt"}, limitedTo(line.size() + kOwnNeeds));
  EXPECT_EQ(result.console, "Nincs eleg memoria!\r\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_TRUE(readFile("both.txt") == line + "\n") << "the input was changed";
}

TEST_F(MemoryTest, SameFileWithALongLineIsLeftAsItWas) {
  // The copy fits, the tables that follow do not: memory runs out once the copy is written, and
  // the new file that holds it goes. Three long names of one line take about twice their length
  // again while they are stored.
  const std::string name(21 * kMiB, 'x');
  const std::string line = name + ",y" + name + ",z" + name;
  writeFile("both.txt", line + "\n");
  const RunResult result = run({"both.txt", "both.txt"}, limitedTo(2 * line.size() + kOwnNeeds));
  EXPECT_EQ(result.console, announcement("both.txt") + "Nincs eleg memoria!\r\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_TRUE(readFile("both.txt") == line + "\n") << "the file changed";
  EXPECT_EQ(listing(), std::vector<std::string>{"both.txt"});
}

TEST_F(MemoryTest, SameFileWithTablesTooLargeIsLeftAsItWas) {
  // Two million distinct names: a small file, and tables ten times its size.
  std::string input;
  for (int i = 0; i < 2'000'000; ++i) {
    char name[16];
    const int length = std::snprintf(name, sizeof name, "n%07d", i);
    input.append(name, static_cast<std::size_t>(length)).push_back('\n');
  }
  writeFile("both.txt", input);
  const RunResult result = run({"both.txt", "both.txt"}, limitedTo(input.size() + kOwnNeeds));
  EXPECT_EQ(result.console, announcement("both.txt") + "Nincs eleg memoria!\r\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_TRUE(readFile("both.txt") == input) << "the file changed";
  EXPECT_EQ(listing(), std::vector<std::string>{"both.txt"});
}

}  // namespace
}  // namespace fdpreserve::testing
