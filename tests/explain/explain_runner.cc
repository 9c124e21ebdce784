#include "explain/explain_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace fdpreserve::testing {

std::string explainUnderTest() {
  const char* chosen = std::getenv("FDEXPLAIN_PROGRAM");
  return chosen != nullptr && *chosen != '\0' ? chosen : FDEXPLAIN_BUILT_PROGRAM;
}

RunOptions explainRun(RunOptions options) {
  options.program = explainUnderTest();
  options.environment.emplace_back("LC_ALL=C");
  return options;
}

std::string reportLineEnd() {
  return programRunsUnderWine() ? "\r\n" : "\n";
}

std::vector<std::string> reportLines(const std::string& console) {
  std::vector<std::string> lines;
  const std::string nl = reportLineEnd();
  for (std::size_t begin = 0; begin < console.size();) {
    const std::size_t end = console.find(nl, begin);
    lines.push_back(console.substr(begin, end - begin));
    begin = end == std::string::npos ? console.size() : end + nl.size();
  }
  return lines;
}

std::vector<nlohmann::json> parseJsonLines(const std::string& text) {
  std::vector<nlohmann::json> objects;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const nlohmann::json parsed = nlohmann::json::parse(line, nullptr, false);
    EXPECT_FALSE(parsed.is_discarded()) << "not JSON: " << line;
    objects.push_back(parsed);
  }
  return objects;
}

RunResult ExplainTest::explain(const std::vector<std::string>& arguments) const {
  return runProgram(dir_, arguments, explainRun());
}

RunResult ExplainTest::explainPiped(const std::vector<std::string>& arguments,
                                    const std::string& bytes) const {
  return runProgram(dir_, arguments,
                    explainRun({.input = StandardInput::kPipedBytes, .pipedBytes = bytes}));
}

nlohmann::json ExplainTest::jsonOn(const std::string& name, const std::string& bytes) const {
  writeFile(name, bytes);
  const RunResult result = explain({"--json", name});
  const std::vector<nlohmann::json> objects = parseJsonLines(result.console);
  EXPECT_EQ(objects.size(), 1U) << "exit status " << result.exitStatus << "\n"
                                << result.console << result.errors;
  return objects.empty() ? nlohmann::json() : objects.front();
}

}  // namespace fdpreserve::testing
