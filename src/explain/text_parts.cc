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

std::string lineLabel(const TextContext& text, std::uint64_t line) {
  std::string number = std::to_string(line);
  if (number.size() < text.lineWidth) number.insert(0, text.lineWidth - number.size(), ' ');
  return "line " + number;
}

std::string nameList(const TextContext& text, std::span<const AttributeId> ids, std::size_t limit) {
  std::string out;
  appendNames(out, ids.first(std::min(ids.size(), limit)), text.input.encoding);
  if (ids.size() > limit) out += " and " + std::to_string(ids.size() - limit) + " more";
  return out;
}

std::string rowText(const TextContext& text, SlotRow stored) {
  const SlotRow attributes = attributesOf(stored);
  std::string out =
      attributes.empty() ? std::string("(nothing)") : nameList(text, attributes, text.limits.names);
  if (attributes.size() < stored.size()) {
    std::vector<AttributeId> after;
    for (const AttributeId a : stored.subspan(attributes.size())) {
      if (a != kFreeSlot) after.push_back(a);
    }
    out += " [after a gap, taking no part: " + nameList(text, after, text.limits.names) + "]";
  }
  return out;
}

std::string dependencyText(const TextContext& text, std::size_t entry) {
  const SlotRow left = leftSide(state.dependencies, entry);
  const SlotRow right = rightSide(state.dependencies, entry);
  if (left.empty() && right.empty()) return "(nothing on either side)";
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
  return hungarianVerdict(preserving) + " (" +
         phrase(language, preserving ? "verdict.preserving" : "verdict.not-preserving") + ")";
}

}  // namespace fdpreserve::explain
