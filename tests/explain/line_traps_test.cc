// The traps found in the bytes of a file or a line, before any note is worded.
#include "explain/line_traps.h"

#include <gtest/gtest.h>

#include <string>

namespace fdpreserve::explain {
namespace {

TEST(LineTrapsTest, ByteOrderMarksOnlyAtTheStart) {
  EXPECT_EQ(byteOrderMarkOf("\xEF\xBB\xBF"
                            "A"),
            ByteOrderMark::kUtf8);
  EXPECT_EQ(byteOrderMarkOf("\xFF\xFE"
                            "A"),
            ByteOrderMark::kUtf16LittleEndian);
  EXPECT_EQ(byteOrderMarkOf("\xFE\xFF"), ByteOrderMark::kUtf16BigEndian);
  EXPECT_EQ(byteOrderMarkOf("A\xEF\xBB\xBF"), ByteOrderMark::kNone);
  EXPECT_EQ(byteOrderMarkOf("\xEF\xBB"), ByteOrderMark::kNone);
}

TEST(LineTrapsTest, TheFirstLookalikeOfALineAndNoneForARealArrow) {
  const auto kind = [](std::string_view line, NameEncoding encoding = NameEncoding::kUtf8) {
    const auto found = findArrowLookalike(line, encoding);
    return found ? std::string(found->text) : std::string("none");
  };
  EXPECT_EQ(kind("A->B"), "none");
  EXPECT_EQ(kind("A-B,C"), "none");
  EXPECT_EQ(kind("A,\xC5\x91->B"), "none");  // ő ends in no arrow
  EXPECT_EQ(kind("A=>B->C"), "=>");
  EXPECT_EQ(kind(">B"), ">");
  EXPECT_EQ(kind("A\xE2\x80\x93>B"), "\xE2\x80\x93>");
  EXPECT_EQ(kind("A\xE2\x80\x93"
                 "B"),
            "none");  // a dash without > is only a dash
  EXPECT_EQ(kind("A\xE2\x86\x92"
                 "B=>C"),
            "\xE2\x86\x92");
  // 96 is an en dash only where the file is not UTF-8; in UTF-8 it cannot stand alone.
  EXPECT_EQ(kind("A\x96>B", NameEncoding::kIso88592), "\x96>");
  EXPECT_EQ(kind("A\xE2\x86\x92"
                 "B",
                 NameEncoding::kIso88592),
            "none");

  EXPECT_FALSE(mayHoldArrowLookalike("A,B\n\nA->B\nB->C\n", NameEncoding::kUtf8));
  EXPECT_TRUE(mayHoldArrowLookalike("A,B\n\nA->B\nB>C\n", NameEncoding::kUtf8));
  EXPECT_TRUE(mayHoldArrowLookalike(">", NameEncoding::kUtf8));
  EXPECT_TRUE(
      mayHoldArrowLookalike("A\xE2\x87\x92"
                            "B",
                            NameEncoding::kUtf8));
  EXPECT_TRUE(mayHoldArrowLookalike("A\x97>B", NameEncoding::kIso88592));
}

TEST(LineTrapsTest, BlankLinesAndVerdictLines) {
  EXPECT_TRUE(isBlankLine(" "));
  EXPECT_TRUE(isBlankLine("\t \t"));
  EXPECT_FALSE(isBlankLine(""));
  EXPECT_FALSE(isBlankLine(" A "));
  EXPECT_FALSE(isBlankLine("\r"));

  bool preserving = false;
  EXPECT_EQ(verdictSpellingOf("f\xFCgg\xF5s\xE9g\xF5rz\xF5", preserving),
            VerdictSpelling::kAsWritten);
  EXPECT_TRUE(preserving);
  EXPECT_EQ(verdictSpellingOf("nem f\xC3\xBCgg\xC5\x91s\xC3\xA9g\xC5\x91rz\xC5\x91", preserving),
            VerdictSpelling::kUtf8);
  EXPECT_FALSE(preserving);
  EXPECT_EQ(verdictSpellingOf("nem f\xFCgg\xF5s\xE9g\xF5rz\xF5 ", preserving),
            VerdictSpelling::kNone);
}

}  // namespace
}  // namespace fdpreserve::explain
