// libFuzzer target: fdexplain's whole JSON report on an input, under either rule, checked against
// what is known to be right: it parses; every dependency's answer is the engine's; both lossless
// verdicts and the final tableau are the literal chase's; and a repair restores exactly what was
// lost, by the literal passes on the repaired input read back. Any difference aborts, and
// libFuzzer keeps the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analysis/dependency_answers.h"
#include "explain/explain.h"
#include "explain/loaded_input.h"
#include "explain/repaired_output.h"
#include "model/analysis_state.h"
#include "support/reference_chase.h"
#include "support/reference_preservation.h"

namespace {

using namespace fdpreserve;
using Json = nlohmann::json;

// The literal chase and passes cost far more than the report: inputs stay small, and so do their
// tables.
constexpr std::size_t kMaxInputBytes = 1024;
constexpr std::int64_t kMaxSubschemas = 24;
constexpr std::int64_t kMaxDependencies = 64;

[[noreturn]] void fail(const char* what) {
  (void)std::fprintf(stderr, "explain_fuzz: %s\n", what);
  std::abort();
}

void expect(bool holds, const char* what) {
  if (!holds) fail(what);
}

/// The names of the literal chase's undistinguished columns, as the report spells them: the
/// bytes of each name, which on a UTF-8 input are its UTF-8.
bool sameTableau(const Json& rows, const testing::ReferenceTableau& expected, bool utf8) {
  if (rows.size() != expected.undistinguished.size()) return false;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const Json& names = rows[r]["undistinguished"];
    if (names.size() != expected.undistinguished[r].size()) return false;
    if (!utf8) continue;  // ISO 8859-2 names are recoded: their count says enough
    std::vector<std::string> shown(names.begin(), names.end());
    std::sort(shown.begin(), shown.end());
    if (shown != expected.undistinguished[r]) return false;
  }
  return true;
}

/// Checks the report under `rule` on the tables it leaves in `state`.
void checkReport(const std::string& input, ClosureRule rule) {
  const explain::ExplainOptions options{.decidingRule = rule};
  const Json report = Json::parse(explain::explainAsJson("in.txt", input, options), nullptr, false);
  expect(!report.is_discarded(), "the report is not JSON");
  if (report.contains("error")) {
    // Only the textbook rule may be unable to decide, and only on a large input.
    expect(rule == ClosureRule::kAllLeftAttributes, "a report failed");
    return;
  }
  const bool allLeft = rule == ClosureRule::kAllLeftAttributes;
  const DependencyAnswers answers = answerDependencies(AnswerScope::kEveryDependency);
  const Json& dependencies = report["dependencies"];
  expect(dependencies.size() == answers.entries, "entries differ from the engine's");
  std::vector<std::uint64_t> lost;
  for (std::size_t d = 0; d < answers.entries; ++d) {
    expect(dependencies[d]["preserved"] == isPreserved(answers, d), "an answer differs");
    const Json& textbook = dependencies[d]["textbook_preserved"];
    if (allLeft ? textbook == false : !isPreserved(answers, d)) {
      lost.push_back(dependencies[d]["line"]);
    }
  }

  const bool utf8 = report["encoding"] == "utf-8";
  for (const bool textbookRule : {false, true}) {
    const testing::ReferenceTableau expected = testing::referenceChase(textbookRule);
    const Json& verdict = report[textbookRule ? "textbook_lossless" : "lossless"];
    expect(verdict.is_null() || verdict == expected.lossless, "a lossless verdict differs");
    if (textbookRule == allLeft && !report["tableau"].is_null()) {
      expect(sameTableau(report["tableau"]["rows"], expected, utf8), "the tableau differs");
    }
  }

  const Json& repair = report["repair"];
  expect(repair.is_null() == lost.empty(), "a repair where nothing is lost, or none");
  if (repair.is_null()) return;
  expect(repair["verified"] == true, "a repair not verified");
  std::vector<std::uint64_t> accounted(repair["unrepairable"].begin(),
                                       repair["unrepairable"].end());
  for (const Json& added : repair["add"]) {
    accounted.insert(accounted.end(), added["restores"].begin(), added["restores"].end());
  }
  std::sort(accounted.begin(), accounted.end());
  expect(accounted == lost, "restores and unrepairable are not the lost lines");

  const explain::RepairedInput repaired = explain::repairInput("in.txt", input, options);
  expect(repaired.error.empty(), "no repaired input");
  const auto unrepairable = repair["unrepairable"].size();
  std::vector<testing::ReferenceAnswer> after;
  if (allLeft) {
    (void)explain::explainAsJson("repaired.txt", repaired.bytes, options);
    after = testing::textbookAnswersByPasses();
  } else {
    after = testing::referenceRun(repaired.bytes).answers;
  }
  std::size_t stillLost = 0;
  for (const testing::ReferenceAnswer& answer : after) stillLost += answer.empty() ? 0 : 1;
  expect(stillLost == unrepairable, "the repaired input loses other dependencies");
}

}  // namespace

// libFuzzer calls this by its own name.
// NOLINTNEXTLINE(readability-identifier-naming)
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInputBytes) return -1;  // -1: not worth adding to the corpus
  const std::string input(reinterpret_cast<const char*>(data), size);
  (void)explain::loadBytes("in.txt", input);
  const bool small =
      state.schemaCount <= kMaxSubschemas && state.dependencyCount <= kMaxDependencies;
  resetAnalysisState();
  if (!small) return -1;
  for (const ClosureRule rule : {ClosureRule::kAnyLeftAttribute, ClosureRule::kAllLeftAttributes}) {
    checkReport(input, rule);
    resetAnalysisState();
  }
  return 0;
}
