#include "platform/input_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace fdpreserve::testing {
namespace {

using InputFileTest = TempDirTest;

const std::string kPages(3 * 4096 + 100, 'x');

TEST_F(InputFileTest, ContentNamedAgainByTheOutputSurvivesTruncation) {
  writeFile("in.txt", kPages);
  std::filesystem::create_symlink("in.txt", path("link.txt"));
  InputFile file;
  openInput(file, path("in.txt").string());
  EXPECT_FALSE(detachInputFrom(file, path("other.txt").string()));  // no such file
  EXPECT_TRUE(detachInputFrom(file, path("link.txt").string()));
  std::filesystem::resize_file(path("in.txt"), 0);
  EXPECT_TRUE(file.content == kPages);
}

TEST_F(InputFileTest, MappedInputShortenedMeanwhileIsReportedNotCrashedOn) {
  writeFile("in.txt", kPages);
  const std::string input = path("in.txt").string();
  EXPECT_EXIT(
      {
        onMappedInputLost([] {
          (void)std::fputs("input lost", stderr);
          std::_Exit(3);
        });
        InputFile file;
        openInput(file, input);
        std::filesystem::resize_file(input, 0);
        std::printf("%c", file.content.back());
      },
      ::testing::ExitedWithCode(3), "input lost");
}

TEST_F(InputFileTest, CountsWhatTheEndOfFileByteHides) {
  // Mapped as it is, mapped and copied for its CR LF, and given as bytes: the same count.
  for (const std::string& bytes : {std::string("A\n\x1Arest"), std::string("A\r\n\x1Arest")}) {
    writeFile("in.txt", bytes);
    InputFile mapped;
    openInput(mapped, path("in.txt").string());
    EXPECT_EQ(mapped.content, "A\n");
    EXPECT_EQ(mapped.bytesAfterContent, 5U);
    InputFile inMemory;
    openInputFromBytes(inMemory, bytes);
    EXPECT_EQ(inMemory.bytesAfterContent, 5U);
    closeInput(inMemory);
    EXPECT_EQ(inMemory.bytesAfterContent, 0U);
  }
  InputFile plain;
  openInputFromBytes(plain, "A\n");
  EXPECT_EQ(plain.bytesAfterContent, 0U);
}

}  // namespace
}  // namespace fdpreserve::testing
