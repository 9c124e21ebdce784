// The text report's sections on single dependencies: why each that fails does, where the two
// rules part, and the chains of subschemas that carry the others.
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "analysis/tables_in_use.h"
#include "explain/text_parts.h"

namespace fdpreserve::explain {
namespace {

/// How many subschemas holding a missing attribute are named.
constexpr std::size_t kHoldersNamed = 3;

std::span<const AttributeId> addedBy(const PassTrace& trace, std::size_t step) {
  const std::size_t begin = step == 0 ? trace.leftEnd : trace.steps[step - 1].end;
  return std::span<const AttributeId>(trace.reached).subspan(begin, trace.steps[step].end - begin);
}

std::string stepText(const TextContext& text, const PassTrace& trace, std::size_t step) {
  const PassStep& s = trace.steps[step];
  const std::string line = std::to_string(subschemaLine(s.subschema));
  const std::string subschema = nameList(text, subschemaAttributes(s.subschema), text.limits.names);
  const std::string added = nameList(text, addedBy(trace, step), text.limits.names);
  if (s.pass == 0) {
    return words(text, "trace.step", {{"line", line}, {"subschema", subschema}, {"added", added}});
  }
  return words(text, "trace.step-in-pass",
               {{"pass", std::to_string(s.pass)},
                {"line", line},
                {"subschema", subschema},
                {"added", added}});
}

/// The reached set of `trace`, or "nothing".
std::string reachedText(const TextContext& text, const PassTrace& trace) {
  return trace.reached.empty() ? words(text, "names.nothing")
                               : nameList(text, trace.reached, text.limits.names);
}

/// Writes the given steps of `trace`, at most the limit of them.
void writeSteps(TextContext& text, const PassTrace& trace, const std::vector<std::size_t>& steps,
                std::string_view indent) {
  if (steps.empty()) {
    putLine(text.sink, std::string(indent) + words(text, "trace.added-nothing"));
  }
  for (std::size_t i = 0; i < steps.size() && i < text.limits.steps; ++i) {
    putLine(text.sink, std::string(indent) + stepText(text, trace, steps[i]));
  }
  if (steps.size() > text.limits.steps) {
    const std::size_t more = steps.size() - text.limits.steps;
    putLine(text.sink, std::string(indent) + countedWords(text, "trace.more-steps", more,
                                                          {{"count", std::to_string(more)}}));
  }
}

std::vector<std::size_t> everyStep(const PassTrace& trace) {
  std::vector<std::size_t> steps(trace.steps.size());
  for (std::size_t i = 0; i < steps.size(); ++i) steps[i] = i;
  return steps;
}

/// The steps that lead to the right side of `entry`, last to first: a step counts when it added
/// something wanted, and then what its subschema shared with the reached set is wanted too.
std::vector<std::size_t> stepsToRight(const PassTrace& trace, std::size_t entry) {
  std::unordered_map<AttributeId, std::size_t> place;
  for (std::size_t i = 0; i < trace.reached.size(); ++i) place.emplace(trace.reached[i], i);
  std::vector<bool> wanted(trace.reached.size(), false);
  for (const AttributeId y : rightAttributes(entry)) {
    if (const auto found = place.find(y); found != place.end()) wanted[found->second] = true;
  }
  std::vector<std::size_t> kept;
  for (std::size_t step = trace.steps.size(); step-- > 0;) {
    const std::size_t begin = step == 0 ? trace.leftEnd : trace.steps[step - 1].end;
    if (std::none_of(wanted.begin() + static_cast<std::ptrdiff_t>(begin),
                     wanted.begin() + static_cast<std::ptrdiff_t>(trace.steps[step].end),
                     [](bool w) { return w; })) {
      continue;
    }
    kept.push_back(step);
    for (const AttributeId x : subschemaAttributes(trace.steps[step].subschema)) {
      if (const auto found = place.find(x); found != place.end() && found->second < begin) {
        wanted[found->second] = true;
      }
    }
  }
  std::reverse(kept.begin(), kept.end());
  return kept;
}

/// Why `missing` was not reached: the subschemas that hold it, and what they share with the
/// reached set.
void writeHolders(TextContext& text, const PassTrace& trace, AttributeId missing) {
  std::vector<AttributeId> reached = trace.reached;
  std::sort(reached.begin(), reached.end());
  const std::string name = nameList(text, std::span<const AttributeId>(&missing, 1), 1);
  const auto holders = subschemasHolding(missing);
  if (holders.empty()) {
    putLine(text.sink, "    " + words(text, "trace.held-by-none", {{"name", name}}));
    return;
  }
  for (std::size_t h = 0; h < holders.size() && h < kHoldersNamed; ++h) {
    const SlotRow row = subschemaAttributes(holders[h]);
    std::vector<AttributeId> shared;
    for (const AttributeId x : row) {
      if (std::binary_search(reached.begin(), reached.end(), x) &&
          std::find(shared.begin(), shared.end(), x) == shared.end()) {
        shared.push_back(x);
      }
    }
    const std::string line = std::to_string(subschemaLine(holders[h]));
    const std::string subschema = nameList(text, row, text.limits.names);
    putLine(
        text.sink,
        "    " + (shared.empty() ? words(text, "trace.held-sharing-nothing",
                                         {{"name", name}, {"line", line}, {"subschema", subschema}})
                                 : words(text, "trace.held-sharing",
                                         {{"name", name},
                                          {"line", line},
                                          {"subschema", subschema},
                                          {"shared", nameList(text, shared, text.limits.names)}})));
  }
  if (holders.size() > kHoldersNamed) {
    const std::size_t more = holders.size() - kHoldersNamed;
    putLine(text.sink, "    " + countedWords(text, "trace.more-holders", more,
                                             {{"name", name}, {"count", std::to_string(more)}}));
  }
}

/// Runs a trace for the report; false, with a line saying so, when the budget ran out.
bool traceForReport(TextContext& text, PassTrace& trace, std::size_t entry, ClosureRule rule,
                    TraceGoal goal, std::string_view indent) {
  tracePasses(trace, entry, rule, goal, text.budget);
  if (trace.finished) return true;
  text.tracesCut = true;
  putLine(text.sink, std::string(indent) + words(text, "trace.not-traced"));
  return false;
}

void writeFailures(TextContext& text) {
  const auto& failed = text.answers.ours.failedEntries;
  if (failed.empty()) return;
  endLine(text.sink);
  putLine(text.sink, words(text, "trace.failures"));
  PassTrace trace;
  for (std::size_t f = 0; f < failed.size() && f < text.limits.failures; ++f) {
    const std::size_t d = failed[f];
    putLine(text.sink, "  " + lineLabel(text, dependencyLine(d)) + "  " + dependencyText(text, d));
    if (!traceForReport(text, trace, d, ClosureRule::kAnyLeftAttribute, TraceGoal::kUntilSettled,
                        "    ")) {
      continue;
    }
    const auto missing = missingAttributes(text.answers.ours, d);
    putLine(text.sink,
            "    " + words(text, "trace.reached", {{"names", reachedText(text, trace)}}));
    putLine(text.sink, "    " + words(text, "trace.missing",
                                      {{"names", nameList(text, missing, text.limits.names)}}));
    writeSteps(text, trace, everyStep(trace), "    ");
    for (std::size_t m = 0; m < missing.size() && m < text.limits.names; ++m) {
      writeHolders(text, trace, missing[m]);
    }
  }
  if (failed.size() > text.limits.failures) {
    putLine(text.sink,
            "  " + words(text, "trace.more-failures",
                         {{"count", std::to_string(failed.size() - text.limits.failures)}}));
  }
}

/// One rule's side of a dependency the rules answer differently.
void writeRuleSide(TextContext& text, std::size_t entry, ClosureRule rule, bool preserved) {
  const std::string label =
      words(text,
            rule == ClosureRule::kAnyLeftAttribute ? "trace.our-rule" : "trace.textbook-rule") +
      ": ";
  PassTrace trace;
  const TraceGoal goal = preserved ? TraceGoal::kRightInAnyOrder : TraceGoal::kUntilSettled;
  if (!traceForReport(text, trace, entry, rule, goal, "    " + label)) return;
  if (preserved) {
    putLine(text.sink, "    " + label + words(text, "trace.rule-preserved"));
    writeSteps(text, trace, stepsToRight(trace, entry), "      ");
    return;
  }
  putLine(text.sink, "    " + label +
                         words(text, "trace.rule-not-preserved",
                               {{"reached", reachedText(text, trace)},
                                {"missing", nameList(text, trace.missing, text.limits.names)}}));
  writeSteps(text, trace, everyStep(trace), "      ");
}

void writeParting(TextContext& text) {
  const auto& parting = text.answers.parting;
  if (text.answers.textbook != TextbookState::kDecided || parting.empty()) return;
  endLine(text.sink);
  putLine(text.sink, words(text, "trace.parting"));
  for (std::size_t p = 0; p < parting.size() && p < text.limits.failures; ++p) {
    const std::size_t d = parting[p];
    putLine(text.sink, "  " + lineLabel(text, dependencyLine(d)) + "  " + dependencyText(text, d));
    writeRuleSide(text, d, ClosureRule::kAnyLeftAttribute, isPreserved(text.answers.ours, d));
    writeRuleSide(text, d, ClosureRule::kAllLeftAttributes, text.answers.textbookPreserved[d]);
  }
  if (parting.size() > text.limits.failures) {
    putLine(text.sink,
            "  " + words(text, "trace.more-parting",
                         {{"count", std::to_string(parting.size() - text.limits.failures)}}));
  }
}

void writeChains(TextContext& text) {
  if (!text.options.all) return;
  endLine(text.sink);
  putLine(text.sink, words(text, "trace.chains"));
  PassTrace trace;
  bool any = false;
  for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
    const SlotRow left = leftAttributes(d);
    const SlotRow right = rightAttributes(d);
    const bool inLeft = std::all_of(right.begin(), right.end(), [&](AttributeId a) {
      return std::find(left.begin(), left.end(), a) != left.end();
    });
    if (inLeft || !isPreserved(text.answers.ours, d) || carriedByOneSubschema(d)) continue;
    const std::string heading =
        "  " + lineLabel(text, dependencyLine(d)) + "  " + dependencyText(text, d);
    tracePasses(trace, d, ClosureRule::kAnyLeftAttribute, TraceGoal::kRightInAnyOrder, text.budget);
    if (!trace.finished) {
      text.tracesCut = true;
      putLine(text.sink, heading);
      putLine(text.sink, "    " + words(text, "trace.chain-not-traced"));
      any = true;
      continue;
    }
    const std::vector<std::size_t> steps = stepsToRight(trace, d);
    if (steps.size() <= 1) continue;  // one subschema's step carries it after all
    putLine(text.sink, heading);
    writeSteps(text, trace, steps, "    ");
    any = true;
  }
  if (!any) putLine(text.sink, "  " + words(text, "report.none"));
}

}  // namespace

void writeTraceSections(TextContext& text) {
  if (!tablesTraceable()) return;
  writeFailures(text);
  writeParting(text);
  writeChains(text);
}

}  // namespace fdpreserve::explain
