#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace fdpreserve::testing {

/// What one run of the program left behind.
struct RunResult {
  int exitStatus = -1;  ///< the status it exited with, or -1 when it did not exit normally
  std::string console;  ///< every byte it wrote to standard output
  std::string errors;   ///< every byte it wrote to standard error
};

/// The program under test: $FDPRESERVE_PROGRAM when set (a Windows build under Wine is run through
/// a wrapper named there), otherwise the binary this build made.
std::string programUnderTest();

/// Runs the program with `arguments` in the folder `workDir`, standard input at end of file.
RunResult runProgram(const std::filesystem::path& workDir,
                     const std::vector<std::string>& arguments);

}  // namespace fdpreserve::testing
