#include "design/chase.h"

#include <algorithm>
#include <numeric>
#include <span>

#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

constexpr std::uint64_t kNeverTaken = ~std::uint64_t{0};
/// The rows that steps may name in all before the rest are left out.
constexpr std::size_t kKeptStepRows = std::size_t{1} << 20;

/// One chase under way.
struct Chase {
  Tableau& tableau;
  WorkBudget& budget;
  std::vector<ChaseStep>* steps;
  std::size_t keptRows = 0;
  bool stepsCut = false;
  bool outOfRoom = false;
  std::vector<AttributeId> agreedOn;  ///< the left attributes of the firing
  std::vector<std::uint32_t> rows;    ///< the rows the firing looks at
  std::vector<Symbol> keys;           ///< their roots in the columns of `agreedOn`, row by row
  std::vector<std::uint32_t> order;   ///< `rows` by their keys
  std::vector<std::uint32_t> group;
};

/// Equates the symbols of the rows of `chase.group` in column `column`.
void equateGroup(Chase& chase, std::size_t entry, AttributeId column) {
  Tableau& tableau = chase.tableau;
  const Symbol first = symbolAt(tableau, chase.group.front(), column);
  bool changed = false;
  for (std::size_t i = 1; i < chase.group.size() && first != kNoSymbol; ++i) {
    const Symbol other = symbolAt(tableau, chase.group[i], column);
    if (other == kNoSymbol) break;
    changed = equate(tableau, column, first, other) || changed;
  }
  spend(chase.budget, chase.group.size());
  if (first == kNoSymbol || tableau.parent.size() >= tableau.symbolLimit) chase.outOfRoom = true;
  if (!changed || chase.steps == nullptr) return;
  if (chase.keptRows + chase.group.size() > kKeptStepRows) {
    chase.stepsCut = true;
    return;
  }
  chase.keptRows += chase.group.size();
  std::vector<std::uint32_t> rows = chase.group;
  std::sort(rows.begin(), rows.end());
  chase.steps->push_back({.entry = entry,
                          .agreedOn = chase.agreedOn,
                          .column = column,
                          .rows = std::move(rows),
                          .distinguished = tableau.distinguished[rootOf(tableau, first)] != 0});
}

/// Gathers the rows whose cells in every column of `chase.agreedOn` are stored, with the roots of
/// those cells as their keys; every row when there is no such column.
void gatherRows(Chase& chase) {
  Tableau& tableau = chase.tableau;
  chase.rows.clear();
  chase.keys.clear();
  if (chase.agreedOn.empty()) {
    chase.rows.resize(tableau.rows);
    std::iota(chase.rows.begin(), chase.rows.end(), std::uint32_t{0});
    return;
  }
  const AttributeId fewest = *std::min_element(
      chase.agreedOn.begin(), chase.agreedOn.end(), [&](AttributeId a, AttributeId b) {
        return tableau.rowsOf[a].size() < tableau.rowsOf[b].size();
      });
  if (tableau.rowsOf[fewest].size() < 2) return;  // a symbol of its own agrees with nothing
  for (const std::uint32_t r : tableau.rowsOf[fewest]) {
    const std::size_t keysBefore = chase.keys.size();
    bool stored = true;
    for (const AttributeId x : chase.agreedOn) {
      const Symbol symbol = storedSymbol(tableau, r, x);
      if (symbol == kNoSymbol) {
        stored = false;
        break;
      }
      chase.keys.push_back(rootOf(tableau, symbol));
    }
    spend(chase.budget, chase.agreedOn.size());
    if (stored) {
      chase.rows.push_back(r);
    } else {
      chase.keys.resize(keysBefore);
    }
  }
}

/// Fires entry `entry` on the rows that agree on `chase.agreedOn`.
void fire(Chase& chase, std::size_t entry, SlotRow right) {
  gatherRows(chase);
  if (chase.rows.size() < 2) return;
  const std::size_t width = chase.agreedOn.size();
  const std::span<const Symbol> keys(chase.keys);
  const auto keyOf = [&](std::uint32_t i) { return keys.subspan(i * width, width); };
  chase.order.resize(chase.rows.size());
  std::iota(chase.order.begin(), chase.order.end(), std::uint32_t{0});
  std::sort(chase.order.begin(), chase.order.end(), [&](std::uint32_t a, std::uint32_t b) {
    const auto ka = keyOf(a);
    const auto kb = keyOf(b);
    return std::lexicographical_compare(ka.begin(), ka.end(), kb.begin(), kb.end());
  });
  spend(chase.budget, chase.rows.size());
  for (std::size_t begin = 0; begin < chase.order.size();) {
    std::size_t end = begin + 1;
    const auto key = keyOf(chase.order[begin]);
    while (end < chase.order.size() && std::ranges::equal(keyOf(chase.order[end]), key)) ++end;
    if (end - begin >= 2) {
      chase.group.clear();
      for (std::size_t i = begin; i < end; ++i) chase.group.push_back(chase.rows[chase.order[i]]);
      for (const AttributeId y : right) equateGroup(chase, entry, y);
    }
    begin = end;
  }
}

/// Whether column `column` changed since `taken`.
bool changedSince(const Tableau& tableau, AttributeId column, std::uint64_t taken) {
  return taken == kNeverTaken || tableau.changedAt[column] > taken;
}

}  // namespace

ChaseResult chase(Tableau& tableau, ClosureRule rule, WorkBudget& budget,
                  std::vector<ChaseStep>* steps) {
  startTableau(tableau);
  Chase chase{.tableau = tableau,
              .budget = budget,
              .steps = steps,
              .agreedOn = {},
              .rows = {},
              .keys = {},
              .order = {},
              .group = {}};
  std::vector<std::uint64_t> takenAt(dependenciesInUse(), kNeverTaken);
  const bool anyRule = rule == ClosureRule::kAnyLeftAttribute;
  for (bool changed = true; changed;) {
    changed = false;
    forEachDependency([&](std::size_t d, SlotRow left, SlotRow right) {
      const std::uint64_t taken = takenAt[d];
      spend(budget, 1 + left.size());
      if (right.empty() || (anyRule && left.empty())) return true;
      const bool due = (!anyRule && left.empty() && taken == kNeverTaken) ||
                       std::any_of(left.begin(), left.end(),
                                   [&](AttributeId x) { return changedSince(tableau, x, taken); });
      if (!due) return true;
      takenAt[d] = tableau.merges;
      const std::uint64_t mergesBefore = tableau.merges;
      if (anyRule) {
        for (std::size_t i = 0; i < left.size(); ++i) {
          const AttributeId x = left[i];
          // A step on one left attribute adds nothing while its column stays as it was, and
          // one named twice fires once.
          const SlotRow before = left.first(i);
          if (!changedSince(tableau, x, taken) ||
              std::find(before.begin(), before.end(), x) != before.end()) {
            continue;
          }
          chase.agreedOn.assign(1, x);
          fire(chase, d, right);
        }
      } else {
        chase.agreedOn.assign(left.begin(), left.end());
        std::sort(chase.agreedOn.begin(), chase.agreedOn.end());
        chase.agreedOn.erase(std::unique(chase.agreedOn.begin(), chase.agreedOn.end()),
                             chase.agreedOn.end());
        fire(chase, d, right);
      }
      changed = changed || tableau.merges != mergesBefore;
      return budget.left > 0 && !chase.outOfRoom;
    });
    if (budget.left == 0 || chase.outOfRoom) return {.stepsCut = chase.stepsCut};
  }
  ChaseResult result{.finished = true, .stepsCut = chase.stepsCut};
  result.fullRow = fullyDistinguishedRow(tableau);
  result.lossless = result.fullRow < tableau.rows;
  if (!result.lossless) result.fullRow = 0;
  return result;
}

}  // namespace fdpreserve
