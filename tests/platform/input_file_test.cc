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

}  // namespace
}  // namespace fdpreserve::testing
