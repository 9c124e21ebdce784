#include "explain/name_text.h"

#include <gtest/gtest.h>

#include <string>

namespace fdpreserve::explain {
namespace {

TEST(Utf8Test, AcceptsOnlyWellFormedSequences) {
  EXPECT_TRUE(isValidUtf8(""));
  EXPECT_TRUE(isValidUtf8("plain ASCII, longer than a word"));
  EXPECT_TRUE(isValidUtf8("\xC5\x91 \xE2\x82\xAC \xF0\x9F\x98\x80"));
  for (const std::string bad : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC5", "\x80",
                                "\xF5", "12345678\xE2\x82"}) {
    EXPECT_FALSE(isValidUtf8(bad)) << bad;
  }
}

std::string utf8Of(std::string_view bytes, NameEncoding encoding) {
  std::string out;
  appendUtf8(out, bytes, encoding);
  return out;
}

std::string visible(std::string_view bytes, NameEncoding encoding = NameEncoding::kUtf8) {
  std::string out;
  appendVisibleName(out, bytes, encoding);
  return out;
}

TEST(Iso88592Test, DecodesTheVerdictAndTheLettersAroundIt) {
  EXPECT_EQ(utf8Of("f\xFCgg\xF5s\xE9g\xF5rz\xF5", NameEncoding::kIso88592),
            "f\xC3\xBCgg\xC5\x91s\xC3\xA9g\xC5\x91rz\xC5\x91");
  // Ű, Ł, š, the no-break space and the dot above: one from each part of the upper half.
  EXPECT_EQ(utf8Of("\xDB\xA3\xB9\xA0\xFF", NameEncoding::kIso88592),
            "\xC5\xB0\xC5\x81\xC5\xA1\xC2\xA0\xCB\x99");
}

TEST(VisibleNameTest, QuotesOnlyWhatCouldBeMisread) {
  EXPECT_EQ(visible("City"), "City");
  EXPECT_EQ(visible("Post code"), "Post code");
  EXPECT_EQ(visible("\xC5\x91r"), "\xC5\x91r");
  EXPECT_EQ(visible("City "), "\"City \"");
  EXPECT_EQ(visible("  "), "\"  \"");
  EXPECT_EQ(visible("A\tB\r"), "\"A\\tB\\r\"");
  EXPECT_EQ(visible("\x1B[0m"), "\"\\x1B[0m\"");
  EXPECT_EQ(visible("say \"hi\"\\"), "\"say \\\"hi\\\"\\\\\"");
  EXPECT_EQ(visible("A\xC2\xA0"), "\"A\\u00A0\"");
  EXPECT_EQ(visible("A\xA0", NameEncoding::kIso88592), "\"A\\u00A0\"");
}

TEST(TwinKeyTest, IgnoresCaseAndEdgeBlanksInBothEncodings) {
  const std::string utf8 = twinKey("\xC3\x81rv\xC3\xADzt\xC5\xB1r\xC5\x91", NameEncoding::kUtf8);
  EXPECT_EQ(twinKey(" \xC3\x81RV\xC3\x8DZT\xC5\xB0R\xC5\x90\t", NameEncoding::kUtf8), utf8);
  EXPECT_EQ(twinKey("\xC1RV\xCDZT\xDBR\xD5", NameEncoding::kIso88592), utf8);
  EXPECT_NE(twinKey("A B", NameEncoding::kUtf8), twinKey("AB", NameEncoding::kUtf8));
  EXPECT_TRUE(hasBlankAtEdge("\tA"));
  EXPECT_FALSE(hasBlankAtEdge("A B"));
}

}  // namespace
}  // namespace fdpreserve::explain
