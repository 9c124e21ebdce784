#include "support/reference_preservation.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <utility>

#include "analysis/attribute_list.h"
#include "analysis/preservation.h"
#include "driver/line_reader.h"
#include "driver/run.h"
#include "model/analysis_state.h"
#include "model/reader.h"

namespace fdpreserve::testing {
namespace {

/// The attributes the passes reach from the left side of `entry`.
AttributeList reachedByPasses(std::size_t entry) {
  AttributeList reached = rowAsList(leftSide(state.dependencies, entry));
  AttributeList reachedBefore;
  do {
    reachedBefore = reached;
    projectedReach(reached);
  } while (reached != reachedBefore);
  return reached;
}

ReferenceAnswer answerByPasses(std::size_t entry) {
  const AttributeList reached = reachedByPasses(entry);
  ReferenceAnswer lacking;
  for (const AttributeName& name : rowAsList(rightSide(state.dependencies, entry))) {
    if (name.empty()) break;  // the first free slot ends the side
    if (isSubset({name}, reached)) continue;
    if (std::find(lacking.begin(), lacking.end(), name) == lacking.end()) lacking.push_back(name);
  }
  return lacking;
}

using NameSet = std::set<AttributeName>;

/// The names of a stored row up to its first free slot.
NameSet namesOf(SlotRow stored) {
  NameSet names;
  for (const AttributeName& name : rowAsList(stored)) {
    if (name.empty()) break;
    names.insert(name);
  }
  return names;
}

/// The tables by name, read once for every entry's passes.
struct NamedTables {
  std::vector<NameSet> rows;
  std::vector<std::pair<NameSet, NameSet>> dependencies;
};

NamedTables namedTables() {
  NamedTables tables;
  for (std::int64_t r = 0; r < state.schemaCount; ++r) {
    tables.rows.push_back(namesOf(subschemaRow(state.decomposition, static_cast<std::size_t>(r))));
  }
  for (std::int64_t d = 0; d < state.dependencyCount; ++d) {
    const auto entry = static_cast<std::size_t>(d);
    tables.dependencies.emplace_back(namesOf(leftSide(state.dependencies, entry)),
                                     namesOf(rightSide(state.dependencies, entry)));
  }
  return tables;
}

/// `names` closed under every dependency in use, each firing once its whole left side is in.
NameSet textbookClosure(const NamedTables& tables, NameSet names) {
  for (bool grew = true; grew;) {
    grew = false;
    for (const auto& [left, right] : tables.dependencies) {
      if (!std::includes(names.begin(), names.end(), left.begin(), left.end())) continue;
      for (const AttributeName& name : right) grew = names.insert(name).second || grew;
    }
  }
  return names;
}

ReferenceAnswer textbookAnswerByPasses(const NamedTables& tables, std::size_t entry) {
  NameSet reached = tables.dependencies[entry].first;
  NameSet before;
  do {
    before = reached;
    for (const NameSet& row : tables.rows) {
      NameSet shared;
      std::set_intersection(reached.begin(), reached.end(), row.begin(), row.end(),
                            std::inserter(shared, shared.end()));
      for (const AttributeName& name : textbookClosure(tables, shared)) {
        if (row.contains(name)) reached.insert(name);
      }
    }
  } while (reached != before);
  ReferenceAnswer lacking;
  for (const AttributeName& name : rowAsList(rightSide(state.dependencies, entry))) {
    if (name.empty()) break;
    if (reached.contains(name)) continue;
    if (std::find(lacking.begin(), lacking.end(), name) == lacking.end()) lacking.push_back(name);
  }
  return lacking;
}

}  // namespace

std::vector<ReferenceAnswer> textbookAnswersByPasses() {
  const NamedTables tables = namedTables();
  std::vector<ReferenceAnswer> answers;
  for (std::int64_t r = 0; r < state.dependencyCount; ++r) {
    answers.push_back(textbookAnswerByPasses(tables, static_cast<std::size_t>(r)));
  }
  return answers;
}

std::vector<ReferenceAnswer> answersByPasses() {
  std::vector<ReferenceAnswer> answers;
  for (std::int64_t r = 0; r < state.dependencyCount; ++r) {
    answers.push_back(answerByPasses(static_cast<std::size_t>(r)));
  }
  return answers;
}

ReferenceRun referenceRun(std::string input) {
  ReferenceRun run;
  openJobInMemory(std::move(input), run.output);
  echoInput();
  reopenInput(state.inputFile);
  readDecomposition();
  readDependencies();
  run.answers = answersByPasses();
  const bool preserved = std::all_of(run.answers.begin(), run.answers.end(),
                                     [](const ReferenceAnswer& answer) { return answer.empty(); });
  writeVerdict(preserved);
  closeOutput(state.outputFile);
  return run;
}

}  // namespace fdpreserve::testing
