#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "explain/explain_options.h"
#include "explain/loaded_input.h"
#include "explain/pass_tracer.h"
#include "explain/report_sink.h"
#include "explain/rule_answers.h"

namespace fdpreserve::explain {

// The pieces the parts of the text report share.

/// How much the text report lists of a large input; `--all` lifts every limit.
struct TextLimits {
  std::size_t rows = 100;     ///< subschemas, and dependencies, listed
  std::size_t failures = 10;  ///< dependencies not preserved explained with their passes
  std::size_t notesPerKind = 10;
  std::size_t names = 40;  ///< names of one reached set
  std::size_t steps = 20;  ///< steps of one trace
};

/// The limits for `options`.
TextLimits textLimits(const ExplainOptions& options);

/// Everything a part of the text report works from.
struct TextContext {
  ReportSink& sink;
  const LoadedInput& input;
  const RuleAnswers& answers;
  const ExplainOptions& options;
  TextLimits limits;
  std::size_t lineWidth = 0;  ///< digits of the highest line number, for the columns
  WorkBudget budget;          ///< what the traces may still spend
  bool tracesCut = false;     ///< some trace was given up for the budget
};

/// The report's text of `key` in the language the options ask for.
std::string words(const TextContext& text, std::string_view key,
                  std::initializer_list<Fill> fills = {});

/// The same for a counted phrase: its singular form when `count` is 1.
std::string countedWords(const TextContext& text, std::string_view key, std::uint64_t count,
                         std::initializer_list<Fill> fills = {});

/// `text` followed by blanks up to `width` characters (code points of its UTF-8).
std::string padded(std::string text, std::size_t width);

/// How many characters (code points) the UTF-8 `text` shows.
std::size_t shownWidth(std::string_view text);

/// "line 12", padded to the width of the highest line number.
std::string lineLabel(const TextContext& text, std::uint64_t line);

/// The names of `ids`, at most `limit` of them, then how many more there are.
std::string nameList(const TextContext& text, std::span<const AttributeId> ids, std::size_t limit);

/// The lines `lineOf` gives for `items`, separated by commas: "5, 8".
std::string lineNumbers(std::span<const std::size_t> items, std::uint64_t (*lineOf)(std::size_t));

/// A stored row as read: its attributes, then the names after a gap, marked as such.
std::string rowText(const TextContext& text, SlotRow stored);

/// Dependency entry `entry` as read: "A, B -> C", or "(nothing on either side)".
std::string dependencyText(const TextContext& text, std::size_t entry);

/// The verdict phrase as fdpreserve writes it, in UTF-8.
std::string hungarianVerdict(bool preserving);

/// The verdict as fdpreserve writes it, then in words where the language's words differ from it.
std::string verdictText(Language language, bool preserving);

/// The sections on the dependencies that are not preserved, where the two rules part, and with
/// `--all` the chains of subschemas that carry the others.
void writeTraceSections(TextContext& text);

}  // namespace fdpreserve::explain
