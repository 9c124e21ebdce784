#include "explain/json_report.h"

#include <array>
#include <charconv>
#include <nlohmann/json.hpp>
#include <vector>

#include "analysis/tables_in_use.h"
#include "explain/join_repair_json.h"
#include "explain/messages.h"
#include "explain/notes.h"
#include "explain/subschema_json.h"
#include "explain/subschema_report.h"
#include "explain/text_parts.h"

namespace fdpreserve::explain {
namespace {

using Json = nlohmann::json;

/// A value as the JSON library writes it: UTF-8 as it is, anything it could not encode replaced.
std::string serialised(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

/// Every name of the input, serialised once: names are interned, and a large input names the
/// same few thousand attributes millions of times.
struct NameCache {
  std::string bytes;
  std::vector<std::size_t> ends{0, 0};  ///< id spans [ends[id], ends[id + 1]); id 0 is empty
};

NameCache serialiseNames(NameEncoding encoding) {
  NameCache cache;
  const std::size_t ids = attributeIds();
  cache.ends.reserve(ids + 1);
  // One value holds each name in turn, so that only the serialised text is new each time.
  Json value = std::string();
  auto& name = value.get_ref<std::string&>();
  for (AttributeId id = 1; id < ids; ++id) {
    name.clear();
    appendUtf8(name, nameOf(state.attributeNames, id), encoding);
    cache.bytes += serialised(value);
    cache.ends.push_back(cache.bytes.size());
  }
  return cache;
}

/// One report being written.
struct JsonWriter {
  ReportSink& sink;
  NameCache names;
  std::array<std::string, kNoteKindCount> kinds;
};

void putNumber(ReportSink& sink, std::uint64_t number) {
  std::array<char, 24> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
  put(sink, std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())));
}

void putBool(ReportSink& sink, bool value) {
  put(sink, value ? "true" : "false");
}

void putNames(JsonWriter& writer, std::span<const AttributeId> ids) {
  put(writer.sink, "[");
  for (std::size_t i = 0; i < ids.size(); ++i) {
    if (i > 0) put(writer.sink, ",");
    const AttributeId id = ids[i];
    put(writer.sink,
        std::string_view(writer.names.bytes)
            .substr(writer.names.ends[id], writer.names.ends[id + 1] - writer.names.ends[id]));
  }
  put(writer.sink, "]");
}

void putNote(JsonWriter& writer, const Note& note) {
  put(writer.sink, "{\"line\":");
  if (note.line == 0) {
    put(writer.sink, "null");
  } else {
    putNumber(writer.sink, note.line);
  }
  put(writer.sink, ",\"kind\":");
  put(writer.sink, writer.kinds[static_cast<std::size_t>(note.kind)]);
  put(writer.sink, ",\"message\":");
  put(writer.sink, serialised(Json(note.message)));
  put(writer.sink, "}");
}

void putHeader(JsonWriter& writer, const LoadedInput& input, const RuleAnswers& answers,
               const ExplainOptions& options) {
  ReportSink& sink = writer.sink;
  const bool ours = preservingOurs(answers);
  put(sink, "{\"file\":");
  put(sink, serialised(Json(input.name)));
  put(sink, ",\"encoding\":");
  put(sink, serialised(Json(input.encoding == NameEncoding::kUtf8 ? "utf-8" : "iso-8859-2")));
  put(sink, ",\"rule\":");
  put(sink, serialised(
                Json(options.decidingRule == ClosureRule::kAnyLeftAttribute ? "any" : "textbook")));
  put(sink, ",\"preserving\":");
  putBool(sink, ours);
  put(sink, ",\"verdict\":");
  put(sink, serialised(Json(hungarianVerdict(ours))));
  put(sink, ",\"textbook_preserving\":");
  if (answers.textbook == TextbookState::kDecided) {
    putBool(sink, preservingTextbook(answers));
  } else {
    put(sink, "null");
  }
}

/// Writes the minimal cover, then each subschema with what it keeps, worked out as it comes.
void putSubschemas(JsonWriter& writer, SubschemaReport& design, const NamesWriter& names) {
  putMinimalCover(writer.sink, design, names);
  put(writer.sink, ",\"subschemas\":[");
  SubschemaFindings findings;
  for (std::size_t r = 0; r < subschemasInUse(); ++r) {
    put(writer.sink, r == 0 ? "{\"line\":" : ",{\"line\":");
    putNumber(writer.sink, subschemaLine(r));
    put(writer.sink, ",\"attributes\":");
    putNames(writer, subschemaAttributes(r));
    findSubschemaForReport(design, r, findings);
    putSubschemaFindings(writer.sink, findings, names);
    put(writer.sink, "}");
  }
  put(writer.sink, "]");
}

/// Writes every entry; false when some reached set was not traced for want of budget.
bool putDependencies(JsonWriter& writer, const RuleAnswers& answers,
                     const ExplainOptions& options) {
  ReportSink& sink = writer.sink;
  WorkBudget budget = traceBudget(options);
  PassTrace trace;
  bool everyTraced = true;
  const auto& failed = answers.ours.failedEntries;
  std::size_t nextFailure = 0;
  put(sink, ",\"dependencies\":[");
  for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
    const bool preserved = nextFailure == failed.size() || failed[nextFailure] != d;
    put(sink, d == 0 ? "{\"line\":" : ",{\"line\":");
    putNumber(sink, dependencyLine(d));
    put(sink, ",\"left\":");
    putNames(writer, leftAttributes(d));
    put(sink, ",\"right\":");
    putNames(writer, rightAttributes(d));
    if (leftSide(state.dependencies, d).empty() && rightSide(state.dependencies, d).empty()) {
      put(sink, ",\"empty\":true");
    }
    put(sink, ",\"preserved\":");
    putBool(sink, preserved);
    put(sink, ",\"missing\":");
    if (preserved) {
      put(sink, "[]");
    } else {
      const std::size_t f = nextFailure++;
      putNames(writer,
               std::span<const AttributeId>(answers.ours.missing)
                   .subspan(answers.ours.missingBegin[f],
                            answers.ours.missingBegin[f + 1] - answers.ours.missingBegin[f]));
      put(sink, ",\"reached\":");
      if (budget.left > 0 && tablesTraceable()) {
        tracePasses(trace, d, ClosureRule::kAnyLeftAttribute, TraceGoal::kUntilSettled, budget);
      } else {
        trace.finished = false;
      }
      if (trace.finished) {
        putNames(writer, trace.reached);
      } else {
        put(sink, "null");
        everyTraced = false;
      }
    }
    put(sink, ",\"textbook_preserved\":");
    if (answers.textbook == TextbookState::kDecided) {
      putBool(sink, answers.textbookPreserved[d]);
    } else {
      put(sink, "null");
    }
    put(sink, "}");
  }
  put(sink, "]");
  return everyTraced;
}

}  // namespace

void writeJsonReport(ReportSink& sink, const LoadedInput& input, const RuleAnswers& answers,
                     const JoinRepairAnswers& joinRepair, const ExplainOptions& options) {
  JsonWriter writer{.sink = sink, .names = serialiseNames(input.encoding), .kinds = {}};
  for (std::size_t kind = 0; kind < kNoteKindCount; ++kind) {
    writer.kinds[kind] = serialised(Json(noteKindName(static_cast<NoteKind>(kind))));
  }
  putHeader(writer, input, answers, options);
  putJoinVerdicts(sink, joinRepair.join);
  SubschemaReport subschemas;
  startSubschemaReport(subschemas, input, options);
  const NamesWriter names{.list = [&](std::span<const AttributeId> ids) { putNames(writer, ids); },
                          .one =
                              [&](AttributeId id) {
                                put(sink,
                                    std::string_view(writer.names.bytes)
                                        .substr(writer.names.ends[id],
                                                writer.names.ends[id + 1] - writer.names.ends[id]));
                              }};
  putSubschemas(writer, subschemas, names);
  const bool everyTraced = putDependencies(writer, answers, options);
  putRepairAndTableau(sink, joinRepair, options, names);
  put(sink, ",\"notes\":[");
  bool first = true;
  const auto putNext = [&](const Note& note) {
    if (!first) put(sink, ",");
    first = false;
    putNote(writer, note);
  };
  const Language language = options.language;
  forEachLineNote(input, language, putNext);
  forEachSubschemaNote(subschemas, putNext);
  if (answers.textbook != TextbookState::kDecided) {
    putNext(Note{.line = 0,
                 .kind = NoteKind::kTextbookSkipped,
                 .message = phrase(language, "note.textbook-skipped",
                                   {{"reason", textbookSkipReason(language, answers.textbook)}})});
  }
  forEachJoinRepairNote(joinRepair, options, putNext);
  if (!everyTraced) {
    putNext(Note{
        .line = 0, .kind = NoteKind::kTracesCut, .message = phrase(language, "note.traces-cut")});
  }
  put(sink, "]}\n");
}

void writeJsonError(ReportSink& sink, const std::string& name, const std::string& error) {
  put(sink, "{\"file\":");
  put(sink, serialised(Json(name)));
  put(sink, ",\"error\":");
  put(sink, serialised(Json(error)));
  put(sink, "}\n");
}

}  // namespace fdpreserve::explain
