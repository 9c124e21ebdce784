// What the built fdexplain says of the join and the repair: the worked examples in text and JSON,
// in English and Hungarian; --repaired, whose output fdpreserve finds preserving, on every case
// and example; and what a large input leaves out.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "explain/explain_runner.h"
#include "support/verdicts.h"

namespace fdpreserve::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kCasesDir = FDPRESERVE_CASES_DIR;
const fs::path kExamplesDir = FDPRESERVE_EXAMPLES_DIR;

class JoinRepairReportTest : public ExplainTest {
 protected:
  /// What fdpreserve writes as its verdict on the file `name` of the folder: true for
  /// "függőségőrző".
  bool fdpreserveFindsPreserving(const std::string& name) {
    EXPECT_EQ(runProgram(dir_, {name, "verdict.out"}).exitStatus, 0);
    const std::string output = readFile("verdict.out");
    return output.ends_with(kPreservingEnd) && !output.ends_with(kNotPreservingEnd);
  }
};

TEST_F(JoinRepairReportTest, TheRepairOfTheExampleInTextAndJson) {
  fs::copy_file(kExamplesDir / "not_preserving.txt", path("np.txt"));
  const std::string nl = reportLineEnd();
  const std::string text = explain({"np.txt"}).console;
  EXPECT_NE(text.find("Join:           lossless; textbook rule: lossless" + nl), std::string::npos)
      << text;
  EXPECT_NE(text.find("Repair under this tool's rule: add these lines after line 2, the last "
                      "subschema line" +
                      nl + "  L,M" + nl + "    restores line 5" + nl +
                      "  Checked: with these lines every dependency is preserved under this "
                      "tool's rule;"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("  this tool's rule: lossless: the row of line 1 (K, L) ends distinguished "
                      "in every column" +
                      nl),
            std::string::npos)
      << text;
  const nlohmann::json report = jsonOn("np.txt", readFile("np.txt"));
  EXPECT_EQ(report["lossless"], true);
  EXPECT_EQ(report["textbook_lossless"], true);
  EXPECT_EQ(report["repair"], nlohmann::json::parse(R"({"rule": "any", "add": [{"attributes":
      ["L", "M"], "restores": [5]}], "unrepairable": [], "verified": true})"));
  EXPECT_TRUE(report["tableau"].is_null());
  // Preserving already: nothing to repair.
  EXPECT_TRUE(jsonOn("road.txt", "A,B\nB,C\n\nA->B\nB->C\n")["repair"].is_null());

  const std::string hungarian = explain({"--lang=hu", "np.txt"}).console;
  EXPECT_NE(
      hungarian.find("Összekapcsolás:     veszteségmentes; tankönyvi szabály: veszteségmentes"),
      std::string::npos)
      << hungarian;
  EXPECT_NE(hungarian.find("    helyreállítja ezt a sort: 5" + nl), std::string::npos) << hungarian;
}

TEST_F(JoinRepairReportTest, ALossyJoinShowsItsTableauAndWithAllItsSteps) {
  writeFile("lossy.txt", "A,B\nB,C\nC,D\n\nA->B\nC->D\n");
  const std::string nl = reportLineEnd();
  const std::string text = explain({"lossy.txt"}).console;
  EXPECT_NE(text.find("Join:           LOSSY; textbook rule: LOSSY" + nl), std::string::npos);
  EXPECT_NE(text.find("    line 1  A, B: C, D" + nl + "    line 2  B, C: A" + nl +
                      "    line 3  C, D: A, B" + nl + "  (--all shows the chase's steps)" + nl),
            std::string::npos)
      << text;
  EXPECT_NE(explain({"--all", "lossy.txt"})
                .console.find("    line 6  C -> D: the rows of lines 2, 3 agree on C, so their D "
                              "is made equal, now distinguished" +
                              nl),
            std::string::npos);
  const nlohmann::json report = jsonOn("lossy.txt", readFile("lossy.txt"));
  EXPECT_EQ(report["lossless"], false);
  EXPECT_EQ(report["tableau"], nlohmann::json::parse(R"({"rule": "any", "rows": [
      {"line": 1, "undistinguished": ["C", "D"]}, {"line": 2, "undistinguished": ["A"]},
      {"line": 3, "undistinguished": ["A", "B"]}]})"));
  const nlohmann::json all = parseJsonLines(explain({"--all", "--json", "lossy.txt"}).console)[0];
  EXPECT_EQ(all["tableau"]["steps"], nlohmann::json::parse(R"([{"line": 6, "agreed_on": ["C"],
      "column": "D", "rows": [2, 3], "distinguished": true}])"));

  // The rules part: lossless under this tool's rule, which fires K,L->M on K alone.
  const nlohmann::json parting = jsonOn("km.txt", "K,M\nK,L\n\nK,L->M\n");
  EXPECT_EQ(parting["lossless"], true);
  EXPECT_EQ(parting["textbook_lossless"], false);
  EXPECT_TRUE(parting["tableau"].is_null());
  const nlohmann::json textbook =
      parseJsonLines(explain({"--json", "--rule=textbook", "km.txt"}).console)[0];
  EXPECT_EQ(textbook["tableau"]["rule"], "textbook");
  EXPECT_EQ(textbook["tableau"]["rows"][1]["undistinguished"], nlohmann::json({"M"}));
}

TEST_F(JoinRepairReportTest, RepairedInputIsPreservingOnEveryCaseAndExample) {
  std::vector<fs::path> inputs;
  for (const std::string& name : namesIn(kCasesDir)) inputs.push_back(kCasesDir / name / "input");
  for (const std::string& name : namesIn(kExamplesDir)) inputs.push_back(kExamplesDir / name);
  for (const fs::path& input : inputs) {
    SCOPED_TRACE(input.string());
    fs::copy_file(input, path("in.txt"), fs::copy_options::overwrite_existing);
    const nlohmann::json report = jsonOn("in.txt", readFile("in.txt"));
    const RunResult repaired = explain({"--repaired", "in.txt"});
    writeFile("repaired.txt", repaired.console);
    const bool unrepairable =
        !report["repair"].is_null() && !report["repair"]["unrepairable"].empty();
    EXPECT_EQ(repaired.exitStatus, unrepairable ? 1 : 0) << repaired.errors;
    EXPECT_EQ(fdpreserveFindsPreserving("repaired.txt"), !unrepairable);
    if (report["repair"].is_null()) {
      EXPECT_EQ(repaired.console, readFile("in.txt"));
      continue;
    }
    EXPECT_EQ(report["repair"]["verified"], true);
    // Every dependency reads as before, on lines moved down by the lines added.
    const nlohmann::json after = jsonOn("repaired.txt", repaired.console);
    const std::size_t added = report["repair"]["add"].size();
    ASSERT_EQ(after["dependencies"].size(), report["dependencies"].size());
    for (std::size_t d = 0; d < after["dependencies"].size(); ++d) {
      nlohmann::json moved = report["dependencies"][d];
      moved["line"] = moved["line"].get<std::size_t>() + added;
      EXPECT_EQ(after["dependencies"][d]["left"], moved["left"]);
      EXPECT_EQ(after["dependencies"][d]["right"], moved["right"]);
      EXPECT_EQ(after["dependencies"][d]["line"], moved["line"]);
    }
  }
}

TEST_F(JoinRepairReportTest, RepairedOutputsAndRefusals) {
  // Under the textbook rule, for the example where only it loses a dependency.
  fs::copy_file(kExamplesDir / "any_one_attribute.txt", path("km.txt"));
  const RunResult textbook = explain({"--repaired", "--rule=textbook", "km.txt"});
  EXPECT_EQ(textbook.exitStatus, 0);
  writeFile("km-repaired.txt", textbook.console);
  const nlohmann::json after =
      parseJsonLines(explain({"--json", "--rule=textbook", "km-repaired.txt"}).console)[0];
  EXPECT_EQ(after["textbook_preserving"], true);

  // An empty left side never fires under this tool's rule: what can be restored is, and the
  // lines still lost are named, by their number in the repaired file.
  writeFile("empty.txt", "A,B\r\n\r\n->C\r\nA->C\r\n");
  const RunResult empty = explain({"--repaired", "empty.txt"});
  EXPECT_EQ(empty.exitStatus, 1);
  EXPECT_EQ(empty.console, "A,B\r\nA,C\r\n\r\n->C\r\nA->C\r\n");
  EXPECT_NE(empty.errors.find("line 4 has an empty left side"), std::string::npos) << empty.errors;

  for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
           {"--repaired", "km.txt", "empty.txt"}, {"--repaired", "--json", "km.txt"}}) {
    const RunResult refused = explain(wrong);
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_TRUE(refused.console.empty());
    EXPECT_NE(refused.errors.find("--repaired takes exactly one FILE"), std::string::npos);
  }
  const RunResult missing = explain({"--repaired", "missing.txt"});
  EXPECT_EQ(missing.exitStatus, 2);
  EXPECT_NE(missing.errors.find("fdexplain: missing.txt: cannot be read"), std::string::npos);
}

TEST_F(JoinRepairReportTest, ALargeLossyInputLeavesItsTableauOut) {
  // 400 rows of 300 columns: more cells than a report lists unasked.
  std::string input;
  for (int i = 0; i < 400; ++i) {
    input += "A" + std::to_string(i % 300) + ",B" + std::to_string(i) + "\n";
  }
  writeFile("large.txt", input + "\nA0->A1\n");
  const nlohmann::json report = jsonOn("large.txt", readFile("large.txt"));
  EXPECT_EQ(report["lossless"], false);
  EXPECT_TRUE(report["tableau"].is_null());
  EXPECT_EQ(report["notes"].back()["kind"], "tableau-cut");
  EXPECT_NE(explain({"large.txt"}).console.find("it has too many cells to list (--all shows it)"),
            std::string::npos);
  const nlohmann::json all = parseJsonLines(explain({"--all", "--json", "large.txt"}).console)[0];
  EXPECT_EQ(all["tableau"]["rows"].size(), 400U);
}

}  // namespace
}  // namespace fdpreserve::testing
