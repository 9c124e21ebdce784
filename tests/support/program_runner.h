#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "support/sanitizer.h"

namespace fdpreserve::testing {

/// What the program finds on its standard input.
enum class StandardInput {
  kEndOfFile,        ///< /dev/null: the end of the input at once, as from a script
  kIdlePipe,         ///< a pipe that stays open and silent for the whole run: a read would block
  kTerminalWithKey,  ///< a terminal on which one key, x without Enter, has been typed ahead
  kPipedBytes,       ///< a pipe holding `RunOptions::pipedBytes` (at most 64 KiB), then its end
};

/// How to start the program, beyond its arguments.
struct RunOptions {
  StandardInput input = StandardInput::kEndOfFile;
  std::size_t addressSpaceLimit = 0;  ///< bytes of address space it may map (RLIMIT_AS); 0: any
  std::size_t fileSizeLimit = 0;      ///< bytes it may write into one file (RLIMIT_FSIZE); 0: any
  bool withoutPrivileges = false;     ///< when the tests run as root, run it as user nobody
  bool consoleUnread = false;  ///< standard output is a pipe whose reading end is already closed
  std::string program{};       ///< the program to run; empty for `programUnderTest()`
  std::string pipedBytes{};    ///< what a `kPipedBytes` input holds
  /// NAME=VALUE settings that replace or join those of the runner's environment.
  std::vector<std::string> environment{};
};

/// What one run of the program left behind.
struct RunResult {
  int exitStatus = -1;    ///< the status it exited with, or -1 when it did not exit normally
  std::string console;    ///< every byte it wrote to standard output
  std::string errors;     ///< every byte it wrote to standard error
  bool timedOut = false;  ///< it was still running after a minute, and was killed
  bool terminalSettingsKept = true;  ///< a terminal as input had the same settings afterwards
};

/// The program under test: $FDPRESERVE_PROGRAM when set (a Windows build under Wine is run through
/// a wrapper named there), otherwise the binary this build made.
std::string programUnderTest();

/// True when $FDPRESERVE_UNDER_WINE is set: the program is a Windows build run under Wine, so
/// tests of what only a POSIX system has, or of where Wine is not Windows, are skipped or adapted.
bool programRunsUnderWine();

/// The user id the program runs as under `options`.
unsigned programUserId(const RunOptions& options);

/// The program's command line, built before any fork so that the child only has to exec it.
class Command {
 public:
  Command(std::filesystem::path workDir, const std::vector<std::string>& arguments,
          RunOptions options);
  /// In a forked child, its standard streams in place: enters the folder, applies the limits and
  /// the user of the options, and runs the program. Never returns; exits with 126 or 127 when
  /// something on the way fails.
  [[noreturn]] void exec() const;

 private:
  std::filesystem::path workDir_;
  std::vector<std::string> strings_;
  std::vector<char*> argv_;
  std::vector<std::string> environment_;
  std::vector<char*> envp_;
  RunOptions options_;
};

/// Runs the program with `arguments` in the folder `workDir`, with `input` as standard input.
RunResult runProgram(const std::filesystem::path& workDir,
                     const std::vector<std::string>& arguments,
                     StandardInput input = StandardInput::kEndOfFile);

/// Runs the program with `arguments` in the folder `workDir`, as `options` say.
RunResult runProgram(const std::filesystem::path& workDir,
                     const std::vector<std::string>& arguments, const RunOptions& options);

}  // namespace fdpreserve::testing
