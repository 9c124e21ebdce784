#include "explain/loaded_input.h"

#include <cerrno>
#include <system_error>
#include <utility>

#include "explain/pass_tracer.h"
#include "model/reader.h"

namespace fdpreserve::explain {
namespace {

/// Reads both sections of the open input into the tables, as a run of fdpreserve does after
/// its copy.
LoadedInput readOpenInput(const std::string& name) {
  LoadedInput loaded;
  loaded.name = name;
  loaded.readable = true;
  loaded.bytesAfterContent = state.inputFile.bytesAfterContent;
  loaded.encoding =
      isValidUtf8(state.inputFile.content) ? NameEncoding::kUtf8 : NameEncoding::kIso88592;
  reopenInput(state.inputFile);
  readDecomposition();
  // The first section ends at an empty line, or at the end of the file.
  loaded.hasEmptyLine = !state.inputFile.eofMark;
  readDependencies();
  // The read at the end of a file whose last line ends with a line feed takes no byte.
  loaded.finalEmptyEntry = state.dependencyCount > 0 && state.inputFile.content.ends_with('\n');
  return loaded;
}

void startFresh() {
  resetAnalysisState();
  resetPassTracer();
  sizeTables(state.decomposition, state.dependencies);
}

}  // namespace

LoadedInput loadFile(const std::string& path, Language language) {
  startFresh();
  errno = 0;
  if (path == kStandardInputName) {
    openStandardInput(state.inputFile);
  } else {
    openInput(state.inputFile, path);
  }
  if (state.inputFile.failMark) {
    const int cause = errno;
    LoadedInput failed;
    failed.name = path;
    // The system's words for the cause, as the system gives them.
    failed.error = cause == 0 ? phrase(language, "error.cannot-read")
                              : phrase(language, "error.cannot-read-because",
                                       {{"cause", std::generic_category().message(cause)}});
    return failed;
  }
  return readOpenInput(path);
}

LoadedInput loadBytes(const std::string& name, std::string bytes) {
  startFresh();
  openInputFromBytes(state.inputFile, std::move(bytes));
  return readOpenInput(name);
}

}  // namespace fdpreserve::explain
