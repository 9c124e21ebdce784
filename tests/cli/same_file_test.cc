// One file named as both input and output: the copy and the verdict replace it whole, or it stays
// byte for byte as it was, with no new file left beside it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/console_texts.h"
#include "support/program_runner.h"
#include "support/temp_dir.h"
#include "support/verdicts.h"

namespace fdpreserve::testing {
namespace {

namespace fs = std::filesystem;

/// An input and the bytes the file holds after a successful run.
struct SameFileCase {
  const char* name;
  std::string input;
  std::string result;
};

/// A mapped input, one with CR LF line ends (taken into memory at once, and unlike its copy), an
/// empty one (never mapped) and one large enough that its copy is written on a thread of its own.
std::vector<SameFileCase> sameFileCases() {
  SameFileCase large{"large", "A,B\n\n", "A,B\r\n\r\n"};
  for (int line = 0; line < 400'000; ++line) {
    large.input += "A->B\n";
    large.result += "A->B\r\n";
  }
  large.result += "\r\n" + kPreservingEnd;
  return {{"lf", "A,B\n\nA->B\n", "A,B\r\n\r\nA->B\r\n\r\n" + kPreservingEnd},
          {"crlf", "A,B\r\n\nA->B\r\n", "A,B\r\n\r\nA->B\r\n\r\n" + kPreservingEnd},
          {"empty", "", "\r\n" + kPreservingEnd},
          large};
}

struct stat statusOf(const fs::path& file) {
  struct stat info {};
  EXPECT_EQ(::stat(file.c_str(), &info), 0) << file;
  return info;
}

class SameFileTest : public TempDirTest {
 protected:
  /// Writes `bytes` to both.txt with the permission bits `mode`, and tells what it is then.
  struct stat writeBoth(const std::string& bytes, unsigned mode) {
    writeFile("both.txt", bytes);
    fs::permissions(path("both.txt"), static_cast<fs::perms>(mode));
    return statusOf(path("both.txt"));
  }
  RunResult runTwice(const RunOptions& options) {
    return runProgram(dir_, {"both.txt", "both.txt"}, options);
  }
};

TEST_F(SameFileTest, CopyPastTheFileSizeLimitLeavesTheFileAsItWas) {
  if (programRunsUnderWine()) GTEST_SKIP() << "the file size limit is a POSIX one";
  for (const SameFileCase& sameFile : sameFileCases()) {
    SCOPED_TRACE(sameFile.name);
    const struct stat before = writeBoth(sameFile.input, 0640);
    // Never below the file's own size: it is the copy that goes past the limit.
    const RunOptions options{.fileSizeLimit = std::max<std::size_t>(sameFile.input.size(), 1)};
    const RunResult result = runTwice(options);
    EXPECT_EQ(result.console, announcement("both.txt") + "Hiba az output fajl irasakor!\r\n");
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(readFile("both.txt") == sameFile.input) << "the file changed";
    EXPECT_EQ(listing(), std::vector<std::string>{"both.txt"});
    const struct stat after = statusOf(path("both.txt"));
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
  }
}

TEST_F(SameFileTest, CopyWithinTheFileSizeLimitReplacesTheFileKeepingModeAndOwner) {
  // Root can give the file back to its owner; anyone else keeps it as their own.
  const bool keepsOwner = geteuid() == 0 && !programRunsUnderWine();
  for (const SameFileCase& sameFile : sameFileCases()) {
    SCOPED_TRACE(sameFile.name);
    writeBoth(sameFile.input, 0604);
    if (keepsOwner) {
      ASSERT_EQ(::chown(path("both.txt").c_str(), 65534, 65534), 0);
    }
    const struct stat before = statusOf(path("both.txt"));
    // Exactly the size of the result: every byte of it is allowed, and not one more.
    const RunOptions options{.fileSizeLimit = programRunsUnderWine() ? 0 : sameFile.result.size()};
    const RunResult result = runTwice(options);
    EXPECT_EQ(result.console, announcement("both.txt"));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_TRUE(readFile("both.txt") == sameFile.result) << "not the copy and the verdict";
    EXPECT_EQ(listing(), std::vector<std::string>{"both.txt"});
    if (programRunsUnderWine()) continue;  // Windows has no permission bits
    const struct stat after = statusOf(path("both.txt"));
    EXPECT_EQ(after.st_mode, before.st_mode);
    if (keepsOwner) {
      EXPECT_EQ(after.st_uid, before.st_uid);
      EXPECT_EQ(after.st_gid, before.st_gid);
    }
  }
}

// Where no new file can be made beside it, the file is written in place, as it always was.
TEST_F(SameFileTest, FolderThatTakesNoNewFileGetsItWrittenInPlace) {
  // Folder modes do not bind root: where the tests run as root, the program runs as nobody.
  const RunOptions options{.withoutPrivileges = true};
  if (programRunsUnderWine() && programUserId(options) != geteuid()) {
    GTEST_SKIP() << "Wine runs only as the owner of its prefix";
  }
  const SameFileCase sameFile = sameFileCases().front();
  // A read-only folder; and, where the tests can make a file of another user, a folder open to
  // all whose sticky bit forbids renaming over that file.
  std::vector<unsigned> folders{0555};
  if (geteuid() == 0 && !programRunsUnderWine()) folders.push_back(01777);
  for (const unsigned folder : folders) {
    SCOPED_TRACE(folder == 0555 ? "read-only folder" : "sticky folder");
    fs::permissions(dir_, fs::perms::owner_all);
    const ino_t before = writeBoth(sameFile.input, 0666).st_ino;
    fs::permissions(dir_, static_cast<fs::perms>(folder));
    const RunResult result = runTwice(options);
    EXPECT_EQ(result.console, announcement("both.txt"));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(readFile("both.txt"), sameFile.result);
    EXPECT_EQ(statusOf(path("both.txt")).st_ino, before);
    EXPECT_EQ(listing(), std::vector<std::string>{"both.txt"});
  }
}

}  // namespace
}  // namespace fdpreserve::testing
