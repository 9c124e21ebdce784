#pragma once

namespace fdpreserve::explain {

/// Runs fdexplain on its command line: reads each FILE, writes its report to standard output and
/// every error, one line each, to standard error. Returns the exit status (`ExplainStatus`).
int runFdexplain(int argumentCount, char** argumentVector);

}  // namespace fdpreserve::explain
