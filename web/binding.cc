// The page's way into the library: calls that each do one whole job over bytes in memory, and the
// catalogue of texts. Everything the page shows comes from here; the page's script only moves bytes
// and draws the answers.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <new>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>

#include "analysis/preservation.h"
#include "driver/run.h"
#include "explain/catalogue.h"
#include "explain/explain.h"
#include "explain/repaired_output.h"
#include "model/analysis_state.h"
#include "platform/output_file.h"

namespace {

using emscripten::val;

/// A JavaScript Uint8Array holding a copy of `bytes`: the page keeps it after the job's memory is
/// given back.
val copyToJavaScript(std::string_view bytes) {
  const auto* const data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  return val::global("Uint8Array").new_(emscripten::typed_memory_view(bytes.size(), data));
}

/// Runs fdpreserve on `input`, the bytes of an input file. Gives {output, verdict, preserving}:
/// every byte fdpreserve writes into its output file, the verdict's bytes as they end it, and
/// whether they say the dependencies are preserved; or {error} saying what went wrong.
val runJob(std::string input) {
  using namespace fdpreserve;
  val result = val::object();
  try {
    std::string output;
    openJobInMemory(std::move(input), output);
    const bool written = copyAndAnalyse();
    const bool closed = closeOutput(state.outputFile);
    resetAnalysisState();
    if (!written || !closed) {
      result.set("error", std::string("The output file could not be written"));
      return result;
    }
    const std::string_view verdict = std::string_view(output).ends_with(kNotPreservingVerdict)
                                         ? kNotPreservingVerdict
                                         : kPreservingVerdict;
    result.set("preserving", verdict == kPreservingVerdict);
    result.set("verdict", copyToJavaScript(verdict));
    result.set("output", copyToJavaScript(output));
  } catch (const std::bad_alloc&) {
    resetAnalysisState();
    result.set("error", std::string("Out of memory"));
  }
  return result;
}

/// fdexplain's JSON report on `input`, named `name`, with the default options: the verdicts
/// under both rules, every subschema and dependency entry as read, and the notes on odd lines.
std::string explainJson(const std::string& name, std::string input) {
  using namespace fdpreserve;
  std::string report = explain::explainAsJson(name, std::move(input), explain::ExplainOptions{});
  resetAnalysisState();  // the tables stay filled after a report: give their memory back now
  return report;
}

/// fdexplain --repaired on `input`, named `name`: {bytes, preserving, stillLost}, the repaired
/// input's bytes, whether it preserves its dependencies and the lines it still loses; or {error}.
val repairedInput(const std::string& name, std::string input) {
  using namespace fdpreserve;
  val result = val::object();
  try {
    const explain::RepairedInput repaired =
        explain::repairInput(name, std::move(input), explain::ExplainOptions{});
    resetAnalysisState();
    if (!repaired.error.empty()) {
      result.set("error", repaired.error);
      return result;
    }
    val stillLost = val::array();
    for (const std::uint64_t line : repaired.stillLost) stillLost.call<void>("push", line);
    result.set("bytes", copyToJavaScript(repaired.bytes));
    result.set("preserving", repaired.preserving);
    result.set("stillLost", stillLost);
  } catch (const std::bad_alloc&) {
    resetAnalysisState();
    result.set("error", std::string("Out of memory"));
  }
  return result;
}

/// Every text of the catalogue of `code` ("en" or "hu"), English where it lacks one, as a JSON
/// object of keys and [singular, plural].
std::string phrases(const std::string& code) {
  using namespace fdpreserve::explain;
  nlohmann::json texts = nlohmann::json::object();
  for (const Language language : {Language::kEnglish, languageNamed(code)}) {
    for (const auto& [key, entry] : catalogueOf(language)) {
      texts[key] = {entry.singular, entry.plural.empty() ? entry.singular : entry.plural};
    }
  }
  return texts.dump();
}

}  // namespace

EMSCRIPTEN_BINDINGS(fdpreserve) {
  emscripten::function("runJob", &runJob);
  emscripten::function("explainJson", &explainJson);
  emscripten::function("repairedInput", &repairedInput);
  emscripten::function("phrases", &phrases);
}
