#include "driver/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/state_fixture.h"

namespace fdpreserve::testing {
namespace {

struct Read {
  std::string line;
  bool eof;
  bool fail;
  bool operator==(const Read&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Read& read) {
  return out << '"' << read.line << "\" eof=" << read.eof << " fail=" << read.fail;
}

class LineReaderTest : public StateTest {
 protected:
  /// Opens `bytes` and reads `count` times, noting the buffer and both marks after each read.
  static std::vector<Read> reads(std::string bytes, int count) {
    openInputFromBytes(state.inputFile, std::move(bytes));
    std::vector<Read> seen;
    for (int i = 0; i < count; ++i) {
      readLine();
      seen.push_back(
          {std::string(state.lineBuffer), state.inputFile.eofMark, state.inputFile.failMark});
    }
    return seen;
  }

  static std::string echoed(std::string bytes) {
    std::string output;
    openInputFromBytes(state.inputFile, std::move(bytes));
    openOutputInMemory(state.outputFile, output);
    echoInput();
    closeOutput(state.outputFile);
    return output;
  }
};

TEST_F(LineReaderTest, FinalLineFeedLeavesOneEmptyReadThatSetsBothMarks) {
  EXPECT_EQ(reads("A\nB\n", 4),
            (std::vector<Read>{
                {"A", false, false}, {"B", false, false}, {"", true, true}, {"", true, true}}));
}

TEST_F(LineReaderTest, LastLineWithoutLineFeedSetsOnlyEndOfFile) {
  EXPECT_EQ(reads("A\nB", 3), (std::vector<Read>{{"A", false, false},
                                                 {"B", true, false},
                                                 {"B", true, true}}));  // the buffer is kept
}

TEST_F(LineReaderTest, TextModeLineEnds) {
  EXPECT_EQ(
      reads("A\r\n\r\nB\rC\x1a"
            "D\n",
            4),
      (std::vector<Read>{
          {"A", false, false}, {"", false, false}, {"B\rC", true, false}, {"B\rC", true, true}}));
}

TEST_F(LineReaderTest, ReopeningStartsOverWithClearMarks) {
  reads("A\n", 3);
  reopenInput(state.inputFile);
  EXPECT_EQ(reads("A\n", 1), (std::vector<Read>{{"A", false, false}}));
}

TEST_F(LineReaderTest, AClosedFileReadsAsEndedSoNoLoopWaitsForever) {
  readLine();
  EXPECT_TRUE(state.inputFile.eofMark && state.inputFile.failMark);
}

TEST_F(LineReaderTest, EchoCopiesEveryReadIncludingTheFinalEmptyOne) {
  EXPECT_EQ(echoed("A,B\n\nA->B\n"), "A,B\r\n\r\nA->B\r\n\r\n");
  EXPECT_EQ(echoed("A,B\n\nA->B"), "A,B\r\n\r\nA->B\r\n");
  EXPECT_EQ(echoed(""), "\r\n");
  EXPECT_EQ(echoed("A\r\nB\r\n"), "A\r\nB\r\n\r\n");
  EXPECT_EQ(echoed("\n\n"), "\r\n\r\n\r\n");
}

}  // namespace
}  // namespace fdpreserve::testing
