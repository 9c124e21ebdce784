// fdexplain in both of its languages, chosen by --lang or by the locale, and standard input as a
// FILE.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "explain/explain_runner.h"

namespace fdpreserve::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kExamplesDir = FDPRESERVE_EXAMPLES_DIR;

using LanguageTest = ExplainTest;

/// fdexplain with the locale `locale` in LANG and nothing in LC_ALL or LC_MESSAGES.
RunResult explainInLocale(const fs::path& dir, const std::vector<std::string>& arguments,
                          const std::string& locale) {
  RunOptions options = explainRun();
  options.environment = {"LC_ALL=", "LC_MESSAGES=", "LANG=" + locale};
  return runProgram(dir, arguments, options);
}

TEST_F(LanguageTest, EveryExampleReadsInHungarianLineForLineAsInEnglish) {
  for (const std::string& name : namesIn(kExamplesDir)) {
    SCOPED_TRACE(name);
    fs::copy_file(kExamplesDir / name, path(name), fs::copy_options::overwrite_existing);
    const RunResult english = explain({"--lang=en", name});
    const RunResult hungarian = explain({"--lang=hu", name});
    EXPECT_EQ(hungarian.exitStatus, english.exitStatus);
    const std::vector<std::string> en = reportLines(english.console);
    const std::vector<std::string> hu = reportLines(hungarian.console);
    ASSERT_EQ(hu.size(), en.size()) << hungarian.console;
    EXPECT_EQ(hu[0], en[0]);  // "== NAME"
    EXPECT_TRUE(hu[1].starts_with("Eredmény: ")) << hu[1];
    EXPECT_TRUE(hu[4].starts_with("Beolvasva: ")) << hu[4];
    bool pasted = false;  // the repair's lines to paste are names, in any language
    for (std::size_t i = 0; i < hu.size(); ++i) {
      // Every text found its key, and no line kept the English words of the report.
      EXPECT_EQ(hu[i].find("[report."), std::string::npos) << hu[i];
      EXPECT_EQ(hu[i].find("[note."), std::string::npos) << hu[i];
      EXPECT_EQ(hu[i].find("[trace."), std::string::npos) << hu[i];
      EXPECT_EQ(hu[i].find("[join."), std::string::npos) << hu[i];
      EXPECT_EQ(hu[i].find("[repair."), std::string::npos) << hu[i];
      pasted = en[i].starts_with("Repair under") || (pasted && en[i].starts_with("  "));
      const bool pastedLine = pasted && !en[i].starts_with("Repair") && !en[i].starts_with("   ");
      if (!en[i].empty() && i > 0 && !pastedLine) {
        EXPECT_NE(hu[i], en[i]) << "untranslated";
      }
    }
    // JSON: the same keys, kinds and verdict; only the notes' words differ.
    const nlohmann::json enJson =
        parseJsonLines(explain({"--json", "--lang=en", name}).console).at(0);
    nlohmann::json huJson = parseJsonLines(explain({"--json", "--lang=hu", name}).console).at(0);
    ASSERT_EQ(huJson["notes"].size(), enJson["notes"].size());
    for (std::size_t n = 0; n < huJson["notes"].size(); ++n) {
      EXPECT_NE(huJson["notes"][n]["message"], enJson["notes"][n]["message"]);
      huJson["notes"][n]["message"] = enJson["notes"][n]["message"];
    }
    EXPECT_EQ(huJson, enJson);
  }
}

TEST_F(LanguageTest, TheLocaleChoosesUnlessLangSays) {
  writeFile("in.txt", "A,B\n\nA->C\n");
  const std::string hungarian = explain({"--lang=hu", "in.txt"}).console;
  const std::string english = explain({"--lang=en", "in.txt"}).console;
  ASSERT_NE(hungarian, english);
  EXPECT_EQ(explainInLocale(dir_, {"in.txt"}, "hu_HU.UTF-8").console, hungarian);
  EXPECT_EQ(explainInLocale(dir_, {"in.txt"}, "de_DE.UTF-8").console, english);
  EXPECT_EQ(explainInLocale(dir_, {"--lang=en", "in.txt"}, "hu_HU.UTF-8").console, english);
  EXPECT_EQ(explain({"in.txt"}).console, english);  // LC_ALL=C

  // The help's own texts and the error lines follow too.
  EXPECT_NE(explain({"--lang=hu", "--help"}).console.find("kiírja ezt a súgót"), std::string::npos);
  EXPECT_NE(explain({"--help"}).console.find("print this help"), std::string::npos);
  const RunResult missing = explainInLocale(dir_, {"missing.txt"}, "hu_HU.UTF-8");
  EXPECT_EQ(missing.exitStatus, 2);
  EXPECT_TRUE(missing.errors.starts_with("fdexplain: missing.txt: nem olvasható"))
      << missing.errors;
}

TEST_F(LanguageTest, StandardInputIsReadOnceAsAFileNamedMinus) {
  // CR LF and Ctrl-Z in the bytes: the reader's text mode, not the runtime's, takes them.
  const std::string bytes =
      "K,M\r\nL,M\r\n\r\nK,L->M\r\n\x1A"
      "after";
  writeFile("in.txt", bytes);
  const RunResult piped = explainPiped({"--json", "-"}, bytes);
  EXPECT_EQ(piped.exitStatus, 0);
  nlohmann::json fromPipe = parseJsonLines(piped.console).at(0);
  nlohmann::json fromFile = parseJsonLines(explain({"--json", "in.txt"}).console).at(0);
  EXPECT_EQ(fromPipe["file"], "-");
  fromPipe["file"] = "in.txt";
  EXPECT_EQ(fromPipe, fromFile);
  EXPECT_TRUE(explainPiped({"-"}, bytes).console.starts_with("== -" + reportLineEnd()));

  // A second - would find the input at its end: it is an error of its own, not an empty file.
  const RunResult twice = explainPiped({"--json", "-", "in.txt", "-"}, bytes);
  EXPECT_EQ(twice.exitStatus, 2);
  const std::vector<nlohmann::json> objects = parseJsonLines(twice.console);
  ASSERT_EQ(objects.size(), 3U);
  EXPECT_EQ(objects[0]["preserving"], true);
  EXPECT_EQ(objects[2]["file"], "-");
  EXPECT_TRUE(objects[2]["error"].is_string());
  EXPECT_EQ(twice.errors,
            "fdexplain: -: standard input was read already: name - only once" + reportLineEnd());
  // After --, "-" is still standard input.
  EXPECT_EQ(explainPiped({"--", "-"}, bytes).exitStatus, 0);
}

}  // namespace
}  // namespace fdpreserve::testing
