#include "explain/catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace fdpreserve::explain {
namespace {

/// The placeholders of a text, "{line}" and the like, each once.
std::set<std::string> placeholdersOf(const std::string& text) {
  std::set<std::string> found;
  static const std::regex kPlaceholder(R"(\{[a-z_]+\})");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), kPlaceholder);
       it != std::sregex_iterator(); ++it) {
    found.insert(it->str());
  }
  return found;
}

TEST(CatalogueTest, BothLanguagesHoldTheSameKeysWithTheSamePlaceholdersAndForms) {
  const auto& english = catalogueOf(Language::kEnglish);
  const auto& hungarian = catalogueOf(Language::kHungarian);
  ASSERT_FALSE(english.empty());
  for (const auto& [key, entry] : english) {
    SCOPED_TRACE(key);
    const auto found = hungarian.find(key);
    ASSERT_NE(found, hungarian.end()) << "no Hungarian text";
    EXPECT_EQ(found->second.counted, entry.counted);
    EXPECT_EQ(placeholdersOf(found->second.singular), placeholdersOf(entry.singular));
    if (entry.counted) {
      EXPECT_FALSE(entry.plural.empty());
      EXPECT_FALSE(found->second.plural.empty());
      EXPECT_EQ(placeholdersOf(found->second.plural), placeholdersOf(entry.plural));
    }
  }
  for (const auto& [key, entry] : hungarian) {
    EXPECT_TRUE(english.contains(key)) << key << " has no English text";
  }
}

TEST(CatalogueTest, EveryKeyTheProgramsAndThePageAskForIsInBothLanguages) {
  // The keys as the sources spell them: "note.no-arrow" in C++, 'page.download' and
  // data-text="page.download" in the page.
  static const std::regex kKey(
      R"(["'](((report|trace|note|names|lookalike|textbook|error|cli|page|verdict|join|repair|repaired|option)\.)[a-z0-9.-]+)["'])");
  namespace fs = std::filesystem;
  const fs::path root = FDPRESERVE_SOURCE_DIR;
  std::set<std::string> keys;
  for (const fs::path& folder : {root / "src/explain", root / "web"}) {
    for (const auto& file : fs::directory_iterator(folder)) {
      const std::string extension = file.path().extension().string();
      if (extension != ".cc" && extension != ".js" && extension != ".html") continue;
      std::stringstream text;
      text << std::ifstream(file.path()).rdbuf();
      const std::string source = text.str();
      for (auto it = std::sregex_iterator(source.begin(), source.end(), kKey);
           it != std::sregex_iterator(); ++it) {
        keys.insert((*it)[1].str());
      }
    }
  }
  // A key the page asks for in its counted form ends in ".plural" there.
  ASSERT_GT(keys.size(), 100U);
  for (const std::string& key : keys) {
    for (const Language language : {Language::kEnglish, Language::kHungarian}) {
      EXPECT_TRUE(catalogueOf(language).contains(key)) << key << " in " << languageCode(language);
    }
  }
}

TEST(CatalogueTest, ReadsThePoSyntaxAsGettextDoes) {
  const auto entries = parseCatalogue(
      "msgid \"\"\nmsgstr \"\"\n\"Language: hu\\n\"\n\n"
      "#. a comment for the translator\r\n"
      "msgid \"plain\"\r\nmsgstr \"a \\\"quoted\\\" \\\\ text\"\r\n\n"
      "msgid \"continued\"\nmsgstr \"\"\n\"first, \"\n\"second\"\n\n"
      "msgid \"untranslated\"\nmsgstr \"\"\n\n"
      "#, fuzzy\nmsgid \"fuzzy\"\nmsgstr \"a guess\"\n\n"
      "msgid \"counted\"\nmsgid_plural \"counted.plural\"\nmsgstr[0] \"{count} note\"\n"
      "msgstr[1] \"{count} notes\"\n");
  EXPECT_EQ(entries.size(), 3U);  // the header, the untranslated and the fuzzy entry are no text
  EXPECT_EQ(entries.at("plain").singular, "a \"quoted\" \\ text");
  EXPECT_EQ(entries.at("continued").singular, "first, second");
  EXPECT_TRUE(entries.at("counted").counted);
  EXPECT_EQ(entries.at("counted").plural, "{count} notes");
}

TEST(CatalogueTest, FillsPlaceholdersPicksTheFormAndFallsBack) {
  EXPECT_EQ(phrase(Language::kHungarian, "verdict.preserving"), "függőségőrző");
  EXPECT_EQ(phrase(Language::kEnglish, "verdict.preserving"), "dependency-preserving");
  EXPECT_EQ(phrase(Language::kHungarian, "no.such.key"), "[no.such.key]");
  EXPECT_EQ(languageOfLocale("hu_HU.UTF-8"), Language::kHungarian);
  EXPECT_EQ(languageOfLocale("hu-HU"), Language::kHungarian);
  EXPECT_EQ(languageOfLocale("C.UTF-8"), Language::kEnglish);
  EXPECT_EQ(languageOfLocale(""), Language::kEnglish);
}

TEST(CatalogueTest, AFilledInValueIsNeverFilledInAgain) {
  // A file name is the user's: one that reads like a placeholder stays as it is.
  EXPECT_EQ(phrase(Language::kEnglish, "summary.error",
                   {{"file", "{error} {file}.txt"}, {"error", "cannot be read"}}),
            "{error} {file}.txt: error: cannot be read");
}

}  // namespace
}  // namespace fdpreserve::explain
