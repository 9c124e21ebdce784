#include "support/reference_chase.h"

#include <algorithm>
#include <map>

#include "model/analysis_state.h"

namespace fdpreserve::testing {
namespace {

using Names = std::vector<std::string>;

/// The names of a row up to its first free slot.
Names namesOf(SlotRow stored) {
  Names names;
  for (const AttributeId id : stored) {
    if (id == kFreeSlot) break;
    names.emplace_back(nameOf(state.attributeNames, id));
  }
  return names;
}

struct Dependency {
  Names left;
  Names right;
};

}  // namespace

ReferenceTableau referenceChase(bool allLeft) {
  std::vector<Names> rows;
  for (std::int64_t r = 0; r < state.schemaCount; ++r) {
    rows.push_back(namesOf(subschemaRow(state.decomposition, static_cast<std::size_t>(r))));
  }
  std::vector<Dependency> dependencies;
  for (std::int64_t d = 0; d < state.dependencyCount; ++d) {
    const auto entry = static_cast<std::size_t>(d);
    dependencies.push_back({namesOf(leftSide(state.dependencies, entry)),
                            namesOf(rightSide(state.dependencies, entry))});
  }
  std::map<std::string, std::size_t> column;
  ReferenceTableau result;
  for (const Names& row : rows) {
    for (const std::string& name : row) column.emplace(name, 0);
  }
  for (const auto& [name, unused] : column) result.schema.push_back(name);
  for (const Dependency& d : dependencies) {
    for (const Names* side : {&d.left, &d.right}) {
      for (const std::string& name : *side) column.emplace(name, 0);
    }
  }
  std::size_t next = 0;
  for (auto& [name, index] : column) index = next++;

  // Symbol 0 is the distinguished one of every column; row r starts with r + 1 elsewhere.
  std::vector<std::vector<int>> table(rows.size(), std::vector<int>(column.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    std::fill(table[r].begin(), table[r].end(), static_cast<int>(r) + 1);
    for (const std::string& name : rows[r]) table[r][column[name]] = 0;
  }
  const auto agree = [&](std::size_t r, std::size_t s, const Names& left) {
    return std::all_of(left.begin(), left.end(), [&](const std::string& x) {
      return table[r][column[x]] == table[s][column[x]];
    });
  };
  for (bool changed = true; changed;) {
    changed = false;
    for (const Dependency& d : dependencies) {
      std::vector<Names> firings;
      if (allLeft) {
        firings.push_back(d.left);
      } else {
        for (const std::string& x : d.left) firings.push_back({x});
      }
      for (const Names& on : firings) {
        for (std::size_t r = 0; r < rows.size(); ++r) {
          for (std::size_t s = r + 1; s < rows.size(); ++s) {
            if (!agree(r, s, on)) continue;
            for (const std::string& y : d.right) {
              const std::size_t c = column[y];
              const int kept = std::min(table[r][c], table[s][c]);
              const int gone = std::max(table[r][c], table[s][c]);
              if (kept == gone) continue;
              for (auto& row : table) {
                if (row[c] == gone) row[c] = kept;
              }
              changed = true;
            }
          }
        }
      }
    }
  }
  for (std::size_t r = 0; r < rows.size(); ++r) {
    Names undistinguished;
    for (const std::string& name : result.schema) {
      if (table[r][column[name]] != 0) undistinguished.push_back(name);
    }
    if (undistinguished.empty()) result.lossless = true;
    result.undistinguished.push_back(std::move(undistinguished));
  }
  return result;
}

}  // namespace fdpreserve::testing
