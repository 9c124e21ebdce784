// What the reports say of each subschema and of the minimal cover, in JSON and text, in both
// languages; what null means and which note says why.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "explain/explain.h"
#include "support/reference_design.h"
#include "support/state_fixture.h"

namespace fdpreserve::explain {
namespace {

using Json = nlohmann::json;
using SubschemaReportTest = fdpreserve::testing::StateTest;

/// A subschema whose keys and normal form the two rules see differently, a lossless one in BCNF,
/// and a dependency line that repeats another.
const std::string kInput = "A,B,C\nA,D\n\nA,B->C\nC->B\nA->D\nA->D\n";

TEST_F(SubschemaReportTest, JsonGivesEachSubschemaItsFindingsAndTheCoverItsLines) {
  const Json report = Json::parse(explainAsJson("in.txt", kInput, {}));
  EXPECT_EQ(report["minimal_cover"], Json::parse(R"([{"left":["A","B"],"right":["C"],"from":[4]},
                            {"left":["C"],"right":["B"],"from":[5]},
                            {"left":["A"],"right":["D"],"from":[6,7]}])"));
  const Json& first = report["subschemas"][0];
  EXPECT_EQ(first["projected"], Json::parse(R"([{"left":["A","B"],"right":["C"]},
                                                {"left":["C"],"right":["B"]}])"));
  EXPECT_EQ(first["keys"], Json::parse(R"([["A","B"],["A","C"]])"));
  EXPECT_EQ(first["normal_form"], "3NF");
  EXPECT_EQ(first["violation"], Json::parse(R"({"left":["C"],"right":["B"]})"));
  const Json& second = report["subschemas"][1];
  EXPECT_EQ(second["normal_form"], "BCNF");
  EXPECT_TRUE(second["violation"].is_null());
  // Under this tool's rule A alone reaches C and B: one key, and 2NF. A note says so.
  const Json& note = report["notes"].back();
  EXPECT_EQ(note["kind"], "rules-part-on-subschema");
  EXPECT_EQ(note["line"], 1);
  EXPECT_NE(note["message"].get<std::string>().find("{A}"), std::string::npos);
}

TEST_F(SubschemaReportTest, NullMeansNotWorkedOutAndANoteSaysWhy) {
  // Twelve pairs that determine each other have 4096 keys; the line after them is fine.
  const Json report = Json::parse(
      explainAsJson("in.txt", fdpreserve::testing::pairsThatDetermineEachOther(12), {}));
  const Json& wide = report["subschemas"][0];
  EXPECT_EQ(wide["projected"].size(), 24U);
  EXPECT_TRUE(wide["keys"].is_null());
  EXPECT_TRUE(wide["normal_form"].is_null());
  EXPECT_TRUE(wide["violation"].is_null());
  EXPECT_EQ(report["subschemas"][1]["keys"].size(), 2U);
  bool noted = false;
  for (const Json& note : report["notes"]) {
    noted = noted || (note["kind"] == "projection-cut" && note["line"] == 1);
  }
  EXPECT_TRUE(noted);
}

TEST_F(SubschemaReportTest, TextShowsTheCoverOnceAndASectionPerSubschemaInEitherLanguage) {
  const std::string english = explainAsText("in.txt", kInput, {});
  EXPECT_NE(english.find("  A -> D  (from lines 6, 7)\n"), std::string::npos) << english;
  EXPECT_NE(english.find("    keys:         {A, B}, {A, C}\n"
                         "    normal form:  3NF, not BCNF: C -> B holds and C is not a superkey\n"
                         "    under this tool's rule: keys {A}; 2NF\n"),
            std::string::npos)
      << english;
  const std::string hungarian = explainAsText("in.txt", kInput, {.language = Language::kHungarian});
  EXPECT_NE(hungarian.find("    kulcsai:      {A, B}, {A, C}\n"), std::string::npos) << hungarian;
  EXPECT_NE(hungarian.find("3NF, de nem BCNF: C -> B teljesül, és C nem szuperkulcs"),
            std::string::npos);
}

TEST_F(SubschemaReportTest, ALargeInputShowsTheFirstSubschemasAndEveryOneWithAll) {
  std::string input;
  for (int i = 0; i < 150; ++i) {
    input.append("A").append(std::to_string(i)).append(",A");
    input.append(std::to_string(i + 1)).append("\n");
  }
  input += "\nA0->A1\n";
  const std::string text = explainAsText("in.txt", input, {});
  EXPECT_NE(text.find("... and 50 more subschemas (--all shows them)"), std::string::npos);
  const std::string all = explainAsText("in.txt", input, {.all = true});
  EXPECT_EQ(all.find("more subschemas"), std::string::npos);
  EXPECT_NE(all.find("line 150  A149, A150"), std::string::npos);
}

}  // namespace
}  // namespace fdpreserve::explain
