#pragma once

#include <cstddef>
#include <cstdint>
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

/// "line 12", padded to the width of the highest line number.
std::string lineLabel(const TextContext& text, std::uint64_t line);

/// The names of `ids`, at most `limit` of them, then how many more there are.
std::string nameList(const TextContext& text, std::span<const AttributeId> ids, std::size_t limit);

/// A stored row as read: its attributes, then the names after a gap, marked as such.
std::string rowText(const TextContext& text, SlotRow stored);

/// Dependency entry `entry` as read: "A, B -> C", or "(nothing on either side)".
std::string dependencyText(const TextContext& text, std::size_t entry);

/// A verdict in Hungarian, as fdpreserve writes it, and in words.
/// The verdict phrase as fdpreserve writes it, in UTF-8.
std::string hungarianVerdict(bool preserving);

std::string verdictText(Language language, bool preserving);

/// The sections on the dependencies that are not preserved, where the two rules part, and with
/// `--all` the chains of subschemas that carry the others.
void writeTraceSections(TextContext& text);

}  // namespace fdpreserve::explain
