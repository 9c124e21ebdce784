// The page's way into the library: two calls, each one whole job over bytes in memory, and the
// page's own texts in a language. Everything the page shows comes from here; the page's script
// only moves bytes and draws the answers.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

/// The language a code of the page names ("en" or "hu").
fdpreserve::explain::Language languageOfCode(const std::string& code) {
  return fdpreserve::explain::languageNamed(code);
}

/// Runs fdpreserve on `input`, the bytes of an input file. Gives {output, verdict, preserving}:
/// every byte fdpreserve writes into its output file, the verdict's bytes as they end it, and
/// whether they say the dependencies are preserved; or {error} saying, in `language`, what went
/// wrong.
val runJob(std::string input, const std::string& language) {
  using namespace fdpreserve;
  const explain::Language words = languageOfCode(language);
  val result = val::object();
  try {
    std::string output;
    openJobInMemory(std::move(input), output);
    const bool written = copyAndAnalyse();
    const bool closed = closeOutput(state.outputFile);
    resetAnalysisState();
    if (!written || !closed) {
      result.set("error", explain::phrase(words, "page.error.output"));
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
    result.set("error", explain::phrase(words, "page.error.memory"));
  }
  return result;
}

/// fdexplain's JSON report on `input`, named `name`, with the default options and the notes in
/// `language`: the verdicts under both rules, every subschema and dependency entry as read, and
/// the notes on odd lines.
std::string explainJson(const std::string& name, std::string input, const std::string& language) {
  using namespace fdpreserve;
  const explain::ExplainOptions options{.language = languageOfCode(language)};
  std::string report = explain::explainAsJson(name, std::move(input), options);
  resetAnalysisState();  // the tables stay filled after a report: give their memory back now
  return report;
}

/// fdexplain --repaired on `input`, named `name`: {bytes, preserving, stillLost}, the repaired
/// input's bytes, whether it preserves its dependencies and the lines it still loses; or {error}
/// saying, in `language`, what went wrong.
val repairedInput(const std::string& name, std::string input, const std::string& language) {
  using namespace fdpreserve;
  const explain::ExplainOptions options{.language = languageOfCode(language)};
  val result = val::object();
  try {
    const explain::RepairedInput repaired = explain::repairInput(name, std::move(input), options);
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
    result.set("error", explain::phrase(options.language, "page.error.memory"));
  }
  return result;
}

/// The language the page speaks for the browser's list of preferred languages (`navigator
/// .languages`): the first of them that it speaks, else English. Gives its code.
std::string pageLanguage(const val& preferred) {
  using namespace fdpreserve::explain;
  const auto names = emscripten::vecFromJSArray<std::string>(preferred);
  return std::string(languageCode(languageOfPreferences(names)));
}

/// Every text of the page itself in the language of `code`, by key ("page.download" ...), and
/// those of the report's parts it draws as the text report does ("design." ...), with their
/// placeholders ("{name}") left for the page to fill; a counted one also as KEY.plural.
val pageTexts(const std::string& code) {
  using namespace fdpreserve::explain;
  const Language language = languageOfCode(code);
  val texts = val::object();
  for (const auto& [key, entry] : catalogueOf(Language::kEnglish)) {
    if (!key.starts_with("page.") && !key.starts_with("design.")) continue;
    texts.set(key, phrase(language, key));
    if (entry.counted) texts.set(key + ".plural", countedPhrase(language, key, 2));
  }
  return texts;
}

}  // namespace

EMSCRIPTEN_BINDINGS(fdpreserve) {
  emscripten::function("runJob", &runJob);
  emscripten::function("explainJson", &explainJson);
  emscripten::function("pageLanguage", &pageLanguage);
  emscripten::function("pageTexts", &pageTexts);
  emscripten::function("repairedInput", &repairedInput);
}
