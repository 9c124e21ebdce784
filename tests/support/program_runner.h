#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace fdpreserve::testing {

/// What the program finds on its standard input.
enum class StandardInput {
  kEndOfFile,        ///< /dev/null: the end of the input at once, as from a script
  kIdlePipe,         ///< a pipe that stays open and silent for the whole run: a read would block
  kTerminalWithKey,  ///< a terminal on which one key, x without Enter, has been typed ahead
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

/// Runs the program with `arguments` in the folder `workDir`, with `input` as standard input.
RunResult runProgram(const std::filesystem::path& workDir,
                     const std::vector<std::string>& arguments,
                     StandardInput input = StandardInput::kEndOfFile);

}  // namespace fdpreserve::testing
