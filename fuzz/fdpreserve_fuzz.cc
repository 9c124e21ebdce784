// libFuzzer target: one whole job, from the bytes of an input file to the bytes of the output
// file, in process. The fuzzer looks for crashes, leaks, undefined behaviour, hangs and runaway
// memory; it compares nothing.
#include <cstddef>
#include <cstdint>
#include <string>

#include "driver/run.h"
#include "model/analysis_state.h"
#include "platform/console.h"
#include "platform/output_file.h"

namespace {

// Inputs above this are skipped, so the fuzzer spends its time on structure rather than on bulk:
// a few kilobytes already reach far past every capacity of the tables.
constexpr std::size_t kMaxInputBytes = 4096;

}  // namespace

// libFuzzer calls this by its own name.
// NOLINTNEXTLINE(readability-identifier-naming)
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInputBytes) return -1;  // -1: not worth adding to the corpus
  using namespace fdpreserve;
  std::string console;
  std::string output;
  redirectConsole(&console);
  openJobInMemory(std::string(reinterpret_cast<const char*>(data), size), output);
  copyAndAnalyse();
  closeOutput(state.outputFile);
  resetAnalysisState();
  redirectConsole(nullptr);
  return 0;
}
