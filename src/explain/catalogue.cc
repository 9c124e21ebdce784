#include "explain/catalogue.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/locale_name.h"

namespace fdpreserve::explain {

// The PO files as they are in po/, embedded by the build (cmake/Catalogue.cmake).
extern const std::string_view kEnglishCatalogueText;
extern const std::string_view kHungarianCatalogueText;

namespace {

/// The string literal of a line of a PO file, its escapes undone; empty for a line that holds
/// none.
std::string quotedText(std::string_view line) {
  const std::size_t open = line.find('"');
  const std::size_t close = line.rfind('"');
  if (open == std::string_view::npos || close <= open) return {};
  std::string text;
  for (std::size_t i = open + 1; i < close; ++i) {
    char c = line[i];
    if (c == '\\' && i + 1 < close) {
      c = line[++i];
      if (c == 'n') c = '\n';
      if (c == 't') c = '\t';
    }
    text.push_back(c);
  }
  return text;
}

/// The entry being read, up to the next msgid.
struct PendingEntry {
  std::string key;
  CatalogueEntry entry;
  bool fuzzy = false;
  std::string* continued = nullptr;  ///< where a line that is only a string literal goes
};

void finish(PendingEntry& pending, std::map<std::string, CatalogueEntry, std::less<>>& entries) {
  // The header has the empty key; an untranslated or fuzzy text is no text.
  if (!pending.key.empty() && !pending.fuzzy && !pending.entry.singular.empty()) {
    entries[pending.key] = std::move(pending.entry);
  }
  pending = PendingEntry{};
}

bool startsWith(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

/// Fills every "{name}" of `text` in one pass, so that a value (a name from the input may hold
/// braces) is never taken for a placeholder itself.
std::string substitute(std::string_view text, std::initializer_list<Fill> fills) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t open = text.find('{', at);
    const std::size_t close = open == std::string_view::npos ? open : text.find('}', open);
    if (close == std::string_view::npos) {
      out.append(text.substr(at));
      break;
    }
    out.append(text.substr(at, open - at));
    const std::string_view name = text.substr(open + 1, close - open - 1);
    const auto fill =
        std::find_if(fills.begin(), fills.end(), [&](const Fill& f) { return f.name == name; });
    if (fill == fills.end()) {
      out.append(text.substr(open, close + 1 - open));
    } else {
      out.append(fill->value);
    }
    at = close + 1;
  }
  return out;
}

const CatalogueEntry* find(Language language, std::string_view key) {
  for (const Language tried : {language, Language::kEnglish}) {
    const auto& entries = catalogueOf(tried);
    const auto found = entries.find(key);
    if (found != entries.end()) return &found->second;
  }
  return nullptr;
}

/// "[key]", what a key neither catalogue has reads as. Appended piece by piece: GCC 12 at -O3
/// warns of an overlap that cannot happen in "[" + key + "]".
std::string missingText(std::string_view key) {
  std::string text = "[";
  text.append(key);
  text.push_back(']');
  return text;
}

}  // namespace

std::map<std::string, CatalogueEntry, std::less<>> parseCatalogue(std::string_view poText) {
  std::map<std::string, CatalogueEntry, std::less<>> entries;
  PendingEntry pending;
  while (!poText.empty()) {
    const std::size_t end = std::min(poText.find('\n'), poText.size());
    std::string_view line = poText.substr(0, end);
    poText.remove_prefix(std::min(end + 1, poText.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (startsWith(line, "#,")) {
      // Flags come before the entry's msgid: a fuzzy one belongs to the entry that follows.
      finish(pending, entries);
      pending.fuzzy = line.find("fuzzy") != std::string_view::npos;
    } else if (startsWith(line, "msgid_plural")) {
      pending.entry.counted = true;
      pending.continued = nullptr;
    } else if (startsWith(line, "msgid")) {
      if (!pending.key.empty()) {
        finish(pending, entries);
      } else {
        // After the header, or after flags: keep only whether the entry to come is fuzzy.
        pending =
            PendingEntry{.key = {}, .entry = {}, .fuzzy = pending.fuzzy, .continued = nullptr};
      }
      pending.key = quotedText(line);
      pending.continued = &pending.key;
    } else if (startsWith(line, "msgstr[0]") || startsWith(line, "msgstr ")) {
      pending.entry.singular = quotedText(line);
      pending.continued = &pending.entry.singular;
    } else if (startsWith(line, "msgstr[1]")) {
      pending.entry.plural = quotedText(line);
      pending.continued = &pending.entry.plural;
    } else if (startsWith(line, "\"") && pending.continued != nullptr) {
      *pending.continued += quotedText(line);
    }
  }
  finish(pending, entries);
  return entries;
}

const std::map<std::string, CatalogueEntry, std::less<>>& catalogueOf(Language language) {
  // Parsed once, on first use: the catalogues are small, and most runs use one of them.
  static const auto english = parseCatalogue(kEnglishCatalogueText);
  if (language == Language::kEnglish) return english;
  static const auto hungarian = parseCatalogue(kHungarianCatalogueText);
  return hungarian;
}

std::string phrase(Language language, std::string_view key, std::initializer_list<Fill> fills) {
  const CatalogueEntry* entry = find(language, key);
  if (entry == nullptr) return missingText(key);
  return substitute(entry->singular, fills);
}

std::string countedPhrase(Language language, std::string_view key, std::uint64_t count,
                          std::initializer_list<Fill> fills) {
  const CatalogueEntry* entry = find(language, key);
  if (entry == nullptr) return missingText(key);
  return substitute(count == 1 || entry->plural.empty() ? entry->singular : entry->plural, fills);
}

Language languageOfLocale(std::string_view localeName) {
  return startsWith(localeName, "hu") ? Language::kHungarian : Language::kEnglish;
}

Language languageOfPreferences(const std::vector<std::string>& preferred) {
  for (const std::string& name : preferred) {
    if (startsWith(name, "hu")) return Language::kHungarian;
    if (startsWith(name, "en")) return Language::kEnglish;
  }
  return Language::kEnglish;
}

Language languageOfUser() {
  return languageOfLocale(messagesLocaleName());
}

Language languageNamed(std::string_view code) {
  return code == "hu" ? Language::kHungarian : Language::kEnglish;
}

std::string_view languageCode(Language language) {
  return language == Language::kHungarian ? "hu" : "en";
}

}  // namespace fdpreserve::explain
