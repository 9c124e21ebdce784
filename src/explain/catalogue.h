#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace fdpreserve::explain {

/// The languages fdexplain and the page speak.
enum class Language : std::uint8_t { kEnglish, kHungarian };

/// One placeholder of a phrase, "{name}" in the catalogue, and what stands in its place.
struct Fill {
  std::string_view name;
  std::string_view value;
};

/// The text of `key` in `language`, each "{name}" in it replaced by the value of its fill.
/// A text the language lacks is taken from English; a key neither has comes back as "[key]".
std::string phrase(Language language, std::string_view key, std::initializer_list<Fill> fills = {});

/// The same for a counted phrase: its singular form when `count` is 1, its plural otherwise.
std::string countedPhrase(Language language, std::string_view key, std::uint64_t count,
                          std::initializer_list<Fill> fills = {});

/// The language a locale name asks for ("hu_HU.UTF-8", "hu-HU", "hu"): Hungarian for one that
/// starts with "hu", English for any other.
Language languageOfLocale(std::string_view localeName);

/// The language for a list of preferred languages, most preferred first (a browser's "hu-HU",
/// "en"): the first one spoken here, else English.
Language languageOfPreferences(const std::vector<std::string>& preferred);

/// The language of the user's locale, as the environment (or Windows) names it.
Language languageOfUser();

/// The language a command line names ("en" or "hu").
Language languageNamed(std::string_view code);

/// The code of `language`: "en" or "hu".
std::string_view languageCode(Language language);

/// One entry of a catalogue: the text, and for a counted phrase its plural.
struct CatalogueEntry {
  std::string singular;
  std::string plural;
  bool counted = false;
};

/// The entries of a catalogue in PO syntax, by key. Untranslated (empty) and fuzzy entries are
/// left out, as gettext leaves them, so that the English text stands in for them.
std::map<std::string, CatalogueEntry, std::less<>> parseCatalogue(std::string_view poText);

/// Every entry of `language`'s catalogue, as compiled into the program.
const std::map<std::string, CatalogueEntry, std::less<>>& catalogueOf(Language language);

}  // namespace fdpreserve::explain
