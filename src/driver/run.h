#pragma once

#include <string>
#include <vector>

namespace fdpreserve {

/// Runs one job on `state`: checks the arguments (element 0 the program name, then the input and
/// the output file), copies the input into the output, reads the tables and writes the verdict.
/// Returns the exit status; every failure has written its one console line first.
int runFdpreserve(const std::vector<std::string>& arguments);

/// Ends a run that ran out of memory: writes out what the output file holds buffered and closes it,
/// then the console line, the pause. Returns the failure status.
int reportOutOfMemory();

/// Starts a job over memory instead of files, from a fresh `state`: `input` is the input file's
/// content, and `output` receives every byte written to the output file. Tests and the fuzzer use
/// it, then `copyAndAnalyse`.
void openJobInMemory(std::string input, std::string& output);

/// The job once both files are open: copies the input into the output, reads the tables and
/// writes the verdict. Stops after the copy when the output could not take it. False when any
/// write to the output failed.
bool copyAndAnalyse();

}  // namespace fdpreserve
