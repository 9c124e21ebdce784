#include "platform/text_mode.h"

#include <gtest/gtest.h>

#include <string>

namespace fdpreserve {
namespace {

std::string textMode(std::string bytes) {
  toTextMode(bytes);
  return bytes;
}

TEST(TextModeTest, OnlyCrDirectlyBeforeLineFeedIsDropped) {
  EXPECT_EQ(textMode("A\r\nB\r\n"), "A\nB\n");
  EXPECT_EQ(textMode("A\rB\n"), "A\rB\n");
  EXPECT_EQ(textMode("A\r\r\n"), "A\r\n");  // the first CR stands before a CR, not a line feed
  EXPECT_EQ(textMode("A\r"), "A\r");
  EXPECT_EQ(textMode("\r\n\r\n"), "\n\n");
}

TEST(TextModeTest, CtrlZEndsTheContent) {
  EXPECT_EQ(textMode("A\n\x1a"
                     "B\n"),
            "A\n");
  EXPECT_EQ(textMode("\x1a"), "");
  EXPECT_EQ(textMode("A\r\x1a\n"), "A\r");  // the cut comes first: that CR saw no line feed
}

TEST(TextModeTest, OtherBytesPassUntouched) {
  const std::string bytes("\0\x01\xff\xfc->,\t ", 9);
  EXPECT_EQ(textMode(bytes), bytes);
}

}  // namespace
}  // namespace fdpreserve
