#pragma once

// What the reports say of each subschema and of the minimal cover: the findings of src/design on
// the input in `state`, worked out one subschema at a time as a report comes to it, and the notes
// on what was not worked out or where this tool's rule differs.

#include <cstddef>
#include <string>
#include <vector>

#include "design/subschema_design.h"
#include "explain/explain_options.h"
#include "explain/loaded_input.h"
#include "explain/notes.h"

namespace fdpreserve::explain {

/// The findings of one report, and the notes they give.
struct SubschemaReport {
  DesignContext context;
  Language language = Language::kEnglish;
  NameEncoding encoding = NameEncoding::kUtf8;
  std::vector<Note> notes;             ///< on the subschemas worked out so far, in their order
  std::size_t firstCutForTheFile = 0;  ///< the row of the first subschema the file's budget cut
};

/// Starts the findings on the input in `state`; with `options.all` only each subschema's own
/// budget limits the work.
void startSubschemaReport(SubschemaReport& report, const LoadedInput& input,
                          const ExplainOptions& options);

/// Works out subschema row `row` into `findings` and notes what a report says of it.
void findSubschemaForReport(SubschemaReport& report, std::size_t row, SubschemaFindings& findings);

/// Calls `emit` with the notes on the subschemas worked out, then with those on the whole input:
/// the cover not worked out, subschemas the file's budget cut.
void forEachSubschemaNote(const SubschemaReport& report, const NoteSink& emit);

/// "BCNF", "3NF", "2NF" or "1NF".
std::string_view formName(NormalForm form);

/// The places `places` of a subschema as the attribute ids they stand for.
std::vector<AttributeId> idsOfPlaces(const SubschemaFindings& findings,
                                     std::span<const AttributeId> places);

/// Keys as the reports show them: "{A, B}, {C}".
std::string keysText(const SubschemaReport& report, const SubschemaFindings& findings,
                     const std::vector<PlaceList>& keys, std::size_t limit);

/// A dependency over attribute ids as the reports show it: "A, B -> C".
std::string dependencyOfIds(const SubschemaReport& report, std::span<const AttributeId> left,
                            AttributeId right);

}  // namespace fdpreserve::explain
