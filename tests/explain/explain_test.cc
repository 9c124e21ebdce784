// The entry points a web page calls: a file given as bytes, a report handed back, no file touched.
#include "explain/explain.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "support/state_fixture.h"

namespace fdpreserve::explain {
namespace {

using InMemoryTest = fdpreserve::testing::StateTest;

TEST_F(InMemoryTest, ReportsOnBytesAsOnAFileWithTheirCrLfAndCtrlZ) {
  const std::string bytes =
      "K,M\r\nL,M\r\n\r\nK,L->M\r\n\x1A"
      "ignored";
  const nlohmann::json report = nlohmann::json::parse(explainAsJson("km.txt", bytes, {}));
  EXPECT_EQ(report["file"], "km.txt");
  EXPECT_EQ(report["preserving"], true);
  EXPECT_EQ(report["textbook_preserving"], false);
  EXPECT_EQ(report["dependencies"].size(), 2U);
  EXPECT_EQ(report["notes"][0]["kind"], "ctrl-z");

  const std::string text =
      explainAsText("km.txt", bytes, {.decidingRule = ClosureRule::kAllLeftAttributes});
  EXPECT_TRUE(text.starts_with("== km.txt\n")) << text;
  EXPECT_NE(text.find("The textbook rule decides the exit status"), std::string::npos);
  EXPECT_EQ(text.find('\r'), std::string::npos);
}

}  // namespace
}  // namespace fdpreserve::explain
