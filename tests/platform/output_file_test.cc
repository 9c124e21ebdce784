#include "platform/output_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace fdpreserve::testing {
namespace {

class OutputFileTest : public TempDirTest {
 protected:
  /// Writes with `write` to a file on disk and to one in memory; both must close cleanly and then
  /// hold exactly `expected`.
  template <typename Write>
  void expectOnDiskAndInMemory(Write write, const std::string& expected) {
    std::string inMemory;
    OutputFile onDisk;
    OutputFile memory;
    ASSERT_TRUE(openOutput(onDisk, path("out").string()));
    openOutputInMemory(memory, inMemory);
    for (OutputFile* file : {&onDisk, &memory}) {
      write(*file);
      EXPECT_TRUE(closeOutput(*file));
    }
    EXPECT_TRUE(readFile("out") == expected);
    EXPECT_TRUE(inMemory == expected);
  }
};

TEST_F(OutputFileTest, LineEndsAreCrLfAndNothingIsLostAcrossFlushes) {
  OutputFile file;
  ASSERT_TRUE(openOutput(file, path("out").string()));
  const std::string line(3000, 'x');
  for (int i = 0; i < 1000; ++i) {  // several times the buffer
    writeBytes(file, line);
    writeLineEnd(file);
  }
  ASSERT_TRUE(closeOutput(file));
  const std::string written = readFile("out");
  ASSERT_EQ(written.size(), 1000u * 3002u);
  EXPECT_EQ(written.substr(2998, 6), "xx\r\nxx");
}

TEST_F(OutputFileTest, TextReachesFileAndMemoryWithEveryLineFeedAsALineEnd) {
  // Lines of every length from empty to past a word, line feeds in runs, NUL and CR bytes, and
  // in all several times the buffer, so that parts end at every kind of place.
  std::string text;
  std::string expected;
  for (std::size_t length = 0; text.size() < (5U << 20); length = (length + 1) % 23) {
    const std::string line =
        std::string(length, 'a') + (length % 5 == 0 ? std::string("\r\0", 2) : "");
    text += line + "\n";
    expected += line + "\r\n";
  }
  text += "no line feed";
  expected += "no line feed";
  expectOnDiskAndInMemory(
      [&](OutputFile& file) {
        writeBytes(file, "head\n");
        writeText(file, text);
        writeText(file, "\n");
      },
      "head\n" + expected + "\r\n");
}

TEST_F(OutputFileTest, ABlockLargerThanTheBufferKeepsItsPlace) {
  const std::string block(3 << 20, 'b');  // goes past the buffer, straight through
  expectOnDiskAndInMemory(
      [&](OutputFile& file) {
        writeBytes(file, "head");
        writeBytes(file, block);
        writeBytes(file, "tail");
      },
      "head" + block + "tail");
}

TEST_F(OutputFileTest, FailuresAreRememberedUntilReopened) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  OutputFile file;
  ASSERT_TRUE(openOutput(file, "/dev/full"));
  writeBytes(file, "A");
  flushOutput(file);
  EXPECT_TRUE(file.failed);
  EXPECT_FALSE(closeOutput(file));
  EXPECT_FALSE(closeOutput(file));  // asking again does not forget
  ASSERT_TRUE(openOutput(file, path("fine").string()));
  EXPECT_TRUE(closeOutput(file));
}

TEST_F(OutputFileTest, AnOldFileKeepsNoneOfItsBytesWrittenOverOrNot) {
  for (const std::string& written : {std::string(), std::string("new")}) {
    writeFile("out", "old bytes, more of them than are written");
    OutputFile file;
    ASSERT_TRUE(openOutput(file, path("out").string()));
    writeBytes(file, written);
    EXPECT_TRUE(closeOutput(file));
    EXPECT_EQ(readFile("out"), written);
  }
}

TEST_F(OutputFileTest, WritingToAClosedFileFails) {
  OutputFile file;
  writeBytes(file, "A");
  EXPECT_FALSE(closeOutput(file));
}

TEST_F(OutputFileTest, ASignalThatEndsTheProcessTakesAReplacementWithIt) {
  writeFile("both.txt", "old");
  const std::string both = path("both.txt").string();
  EXPECT_EXIT(
      {
        OutputFile file;
        openReplacement(file, both);
        writeBytes(file, "new");
        flushOutput(file);
        (void)std::raise(SIGTERM);
      },
      ::testing::KilledBySignal(SIGTERM), "");
  EXPECT_EQ(listing(), std::vector<std::string>{"both.txt"});
  EXPECT_EQ(readFile("both.txt"), "old");
}

TEST_F(OutputFileTest, DestructionWritesOutWhatIsBuffered) {
  {
    OutputFile file;
    ASSERT_TRUE(openOutput(file, path("out").string()));
    writeBytes(file, "verdict");
  }
  EXPECT_EQ(readFile("out"), "verdict");
}

}  // namespace
}  // namespace fdpreserve::testing
