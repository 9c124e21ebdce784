#include "explain/text_parts.h"

#include <algorithm>
#include <limits>

#include "analysis/preservation.h"
#include "analysis/tables_in_use.h"
#include "explain/messages.h"
#include "explain/name_text.h"
#include "explain/notes.h"

namespace fdpreserve::explain {

TextLimits textLimits(const ExplainOptions& options) {
  if (!options.all) return {};
  constexpr std::size_t kEvery = std::numeric_limits<std::size_t>::max();
  return {
      .rows = kEvery, .failures = kEvery, .notesPerKind = kEvery, .names = kEvery, .steps = kEvery};
}

std::string words(const TextContext& text, std::string_view key,
                  std::initializer_list<Fill> fills) {
  return phrase(text.options.language, key, fills);
}

std::string countedWords(const TextContext& text, std::string_view key, std::uint64_t count,
                         std::initializer_list<Fill> fills) {
  return countedPhrase(text.options.language, key, count, fills);
}

std::size_t shownWidth(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;  // not a continuation byte
  }));
}

std::string padded(std::string text, std::size_t width) {
  const std::size_t shown = shownWidth(text);
  if (shown < width) text.append(width - shown, ' ');
  return text;
}

std::string lineLabel(const TextContext& text, std::uint64_t line) {
  std::string number = std::to_string(line);
  if (number.size() < text.lineWidth) number.insert(0, text.lineWidth - number.size(), ' ');
  return words(text, "report.line", {{"line", number}});
}

std::string lineNumbers(std::span<const std::size_t> items, std::uint64_t (*lineOf)(std::size_t)) {
  std::string out;
  for (const std::size_t item : items) {
    if (!out.empty()) out += ", ";
    out += std::to_string(lineOf(item));
  }
  return out;
}

std::string nameList(const TextContext& text, std::span<const AttributeId> ids, std::size_t limit) {
  std::string out;
  appendNames(out, ids.first(std::min(ids.size(), limit)), text.input.encoding);
  if (ids.size() <= limit) return out;
  return words(text, "report.names-and-more",
               {{"names", out}, {"count", std::to_string(ids.size() - limit)}});
}

std::string rowText(const TextContext& text, SlotRow stored) {
  const SlotRow attributes = attributesOf(stored);
  std::string out = attributes.empty() ? words(text, "report.row-nothing")
                                       : nameList(text, attributes, text.limits.names);
  if (attributes.size() < stored.size()) {
    std::vector<AttributeId> after;
    for (const AttributeId a : stored.subspan(attributes.size())) {
      if (a != kFreeSlot) after.push_back(a);
    }
    out += " " +
           words(text, "report.after-gap", {{"names", nameList(text, after, text.limits.names)}});
  }
  return out;
}

std::string dependencyText(const TextContext& text, std::size_t entry) {
  const SlotRow left = leftSide(state.dependencies, entry);
  const SlotRow right = rightSide(state.dependencies, entry);
  if (left.empty() && right.empty()) return words(text, "report.nothing-on-either-side");
  return rowText(text, left) + " -> " + rowText(text, right);
}

std::string hungarianVerdict(bool preserving) {
  // Decoded from the very bytes fdpreserve writes, so that the two can never part.
  std::string phrase;
  appendUtf8(phrase, preserving ? kPreservingVerdict : kNotPreservingVerdict,
             NameEncoding::kIso88592);
  return phrase;
}

std::string verdictText(Language language, bool preserving) {
  const std::string verdict = hungarianVerdict(preserving);
  const std::string inWords =
      phrase(language, preserving ? "verdict.preserving" : "verdict.not-preserving");
  // In Hungarian the words are the verdict itself.
  return inWords == verdict ? verdict : verdict + " (" + inWords + ")";
}

}  // namespace fdpreserve::explain
