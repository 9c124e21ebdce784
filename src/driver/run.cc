#include "driver/run.h"

#include <cstdlib>
#include <exception>
#include <new>
#include <string_view>
#include <utility>

#include "analysis/preservation.h"
#include "driver/line_reader.h"
#include "driver/messages.h"
#include "model/analysis_state.h"
#include "model/reader.h"
#include "platform/console.h"
#include "platform/pause.h"
#include "platform/threads.h"

namespace fdpreserve {
namespace {

enum class Pause { kYes, kNo };

int fail(std::string_view message, Pause pause) {
  writeConsoleLine(message);
  if (pause == Pause::kYes) pauseForKey();
  return kExitFailure;
}

// Written in pieces: the output is open by now, and nothing may allocate until the copy is in it.
void announceOutput(const std::string& outputName) {
  writeConsoleLine("");
  writeConsole(messages::kCreatedBefore);
  writeConsole(outputName);
  writeConsoleLine(messages::kCreatedAfter);
}

/// Inputs from this size on have their copy written on a thread of its own.
constexpr std::size_t kCopyThreadFrom = std::size_t{1} << 20;

/// The dependency lines are read in pieces of about this many bytes: small enough that two
/// threads end close together, large enough that each piece costs nothing to hand out.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

/// What stopped the helper thread, if anything did: memory running out while it read a piece.
std::exception_ptr helperFailure;

/// Starts the copy of the input into the output. On a large input, writing the copy and reading
/// the tables each take about as long as copying the file, so a file on disk gets the copy on a
/// thread of its own, which then reads pieces of the dependency lines from the back while the
/// reader reads from the front; the copy touches nothing the reader does. A small input, a run
/// where no thread can be had, and memory, which the copy could make grow, get the copy here and
/// now, and the reader reads every piece.
HelperThread startCopy(DependencyPieces& pieces) {
  const auto copy = [] {
    echoInput();
    flushOutput(state.outputFile);
  };
  helperFailure = nullptr;
  if (state.outputFile.memorySink == nullptr && state.inputFile.content.size() >= kCopyThreadFrom) {
    HelperThread helper = startHelper([&pieces, copy](const StopToken& stop) {
      copy();
      try {
        while (readBackPiece(pieces, stop)) {
        }
      } catch (const std::bad_alloc&) {
        helperFailure = std::current_exception();  // reported as the reader's own would be
      }
    });
    if (helper.joinable()) return helper;
  }
  copy();
  return {};
}

/// Reads both tables, with the helper thread, if there is one, reading pieces beside.
void readTables(DependencyPieces& pieces, HelperThread& helper) {
  reopenInput(state.inputFile);
  readDecomposition();
  cutDependencyLines(pieces, kPieceBytes);
  while (readFrontPiece(pieces)) {
  }
  if (helper.joinable()) helper.join();
  // Memory ran out on the helper thread: it goes on as if it had run out here.
  if (helperFailure != nullptr) std::rethrow_exception(std::exchange(helperFailure, nullptr));
  joinDependencyLines(pieces);
}

/// Ends the run when the mapped input lost bytes under it. Runs in a signal handler: it writes its
/// line straight to the console and ends the process without cleaning up.
void reportLostInput() {
  writeConsoleLine(messages::kInputReadFailed);
  std::_Exit(kExitFailure);
}

}  // namespace

int runFdpreserve(const std::vector<std::string>& arguments) {
  sizeTables(state.decomposition, state.dependencies);
  onMappedInputLost(reportLostInput);
  if (arguments.size() <= 2) return fail(messages::kMissingParameter, Pause::kYes);
  if (arguments.size() > 3) return fail(messages::kTooManyParameters, Pause::kNo);
  const std::string& inputName = arguments[1];
  const std::string& outputName = arguments[2];

  openInput(state.inputFile, inputName);
  if (state.inputFile.failMark) return fail(messages::kBadFileName, Pause::kYes);
  // An input the output names again is copied into memory, and the output goes to a new file that
  // takes the input's place only once the copy and the verdict are in it: a failure anywhere
  // leaves the file as it was. Only where its folder takes no new file is it written in place;
  // then all the memory the copy needs is taken before it is truncated, and the copy takes no
  // more, so memory can run out while it is untouched, or once the copy is in it.
  const bool sameFile = detachInputFrom(state.inputFile, outputName);
  const bool opened = sameFile ? openReplacement(state.outputFile, outputName)
                               : openOutput(state.outputFile, outputName);
  if (!opened) return fail(messages::kCannotCreateOutput, Pause::kYes);
  announceOutput(outputName);

  const bool written = copyAndAnalyse();
  closeInput(state.inputFile);
  if (!written) {
    discardOutput(state.outputFile);
    return fail(messages::kOutputWriteFailed, Pause::kYes);
  }
  // After the positive verdict the output is closed already; committing tells how that went.
  if (!commitOutput(state.outputFile)) return fail(messages::kOutputWriteFailed, Pause::kYes);
  return kExitVerdict;
}

int reportOutOfMemory() {
  // What the output holds buffered goes to the file before the pause, which may last forever;
  // a replacement of the input is given up, and the input stays as it was. A copy that failed to
  // reach the file failed first: that is the news.
  const bool written = closeOutput(state.outputFile);
  discardOutput(state.outputFile);
  return fail(written ? messages::kOutOfMemory : messages::kOutputWriteFailed, Pause::kYes);
}

void openJobInMemory(std::string input, std::string& output) {
  resetAnalysisState();
  sizeTables(state.decomposition, state.dependencies);
  openInputFromBytes(state.inputFile, std::move(input));
  openOutputInMemory(state.outputFile, output);
}

bool copyAndAnalyse() {
  {
    DependencyPieces pieces;
    HelperThread helper = startCopy(pieces);
    readTables(pieces, helper);
  }  // the copy is complete here, whatever the reader met: the helper is stopped and joined
  if (state.outputFile.failed) return false;
  // Every byte of the input is in the tables or the copy now: give its memory to the analysis.
  closeInput(state.inputFile);
  state.lineBuffer = {};
  checkPreservation();
  flushOutput(state.outputFile);
  return !state.outputFile.failed;
}

}  // namespace fdpreserve
