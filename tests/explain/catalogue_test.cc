#include "explain/catalogue.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
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
