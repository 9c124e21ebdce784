// The chase as congruence closure: a worklist of cells to equate. When two classes of column c
// join, every row of one agrees in c with every row of the other, so each step on c equates the
// target column of one row from each side, and each left side of several columns holding c looks
// again at the rows whose key, their classes in its columns, has changed: the rows of the smaller
// class. Rows with equal keys have their right columns equated. Each step costs what it changes,
// where passes over the dependencies would compare the same rows again and again.
#include "design/chase.h"

#include <algorithm>
#include <unordered_map>

#include "analysis/tables_in_use.h"
#include "design/chase_rules.h"

namespace fdpreserve {
namespace {

constexpr std::uint32_t kNoCause = ~std::uint32_t{0};
constexpr std::uint32_t kSideCause = std::uint32_t{1} << 31U;
/// The rows that kept steps may name in all before the rest are left out.
constexpr std::size_t kKeptSteps = std::size_t{1} << 19;

/// Two cells of one column to equate, and what asks for it.
struct Equality {
  std::uint32_t column;
  std::uint32_t row;
  std::uint32_t otherRow;
  std::uint32_t entry;  ///< the dependency, or `kNoCause` for the start
  std::uint32_t cause;  ///< the column it agreed on, a side with `kSideCause`, or `kNoCause`
};

struct Chase {
  Tableau& tableau;
  const ChaseRules& rules;
  WorkBudget& budget;
  std::vector<ChaseStep>* steps;
  bool stepsCut = false;
  bool outOfRoom = false;
  std::uint64_t work = 0;  ///< spent from `budget` a batch at a time
  std::vector<Equality> pending;
  /// The rows of each key, by a hash of the side and the key: several rows may share one.
  std::unordered_multimap<std::uint64_t, std::uint32_t> keyed;
  std::vector<Symbol> key;
  std::vector<Symbol> otherKey;
  std::vector<std::uint32_t> rowsToKey;
};

/// The key of `row` for side `side` into `key`: the root of its cell in each of the side's
/// columns; false when some cell is still of its own, as such a row agrees with no other.
bool keyOf(Chase& chase, std::uint32_t side, std::uint32_t row, std::vector<Symbol>& key) {
  key.clear();
  const ChaseRules& rules = chase.rules;
  spend(chase.budget, rules.sideBegin[side + 1] - rules.sideBegin[side]);
  for (std::size_t i = rules.sideBegin[side]; i < rules.sideBegin[side + 1]; ++i) {
    const Symbol symbol = storedSymbol(chase.tableau, row, rules.sideColumns[i]);
    if (symbol == kNoSymbol) return false;
    const Symbol root = rootOf(chase.tableau, symbol);
    if (sizeOfClass(chase.tableau, root) < 2) return false;
    key.push_back(root);
  }
  return true;
}

std::uint64_t keyHash(std::uint32_t side, const std::vector<Symbol>& key) {
  std::uint64_t hash = 0xCBF29CE484222325ULL ^ side;
  for (const Symbol s : key) hash = (hash ^ s) * 0x100000001B3ULL;
  return hash;
}

void forget(Chase& chase, std::uint32_t side, std::uint32_t row) {
  if (!keyOf(chase, side, row, chase.key)) return;
  const auto [begin, end] = chase.keyed.equal_range(keyHash(side, chase.key));
  for (auto it = begin; it != end; ++it) {
    if (it->second == row) {
      chase.keyed.erase(it);
      return;
    }
  }
}

/// Files `row` under its key for `side`, or equates its right columns with those of a row that
/// has the same key already.
void file(Chase& chase, std::uint32_t side, std::uint32_t row) {
  if (!keyOf(chase, side, row, chase.key)) return;
  const std::uint64_t hash = keyHash(side, chase.key);
  const auto [begin, end] = chase.keyed.equal_range(hash);
  for (auto it = begin; it != end; ++it) {
    if (it->second == row) return;
    if (!keyOf(chase, side, it->second, chase.otherKey) || chase.otherKey != chase.key) continue;
    const ChaseRules& rules = chase.rules;
    for (std::size_t i = rules.rightBegin[side]; i < rules.rightBegin[side + 1]; ++i) {
      chase.pending.push_back(
          {rules.rightColumns[i], row, it->second, rules.rightEntries[i], side | kSideCause});
    }
    return;
  }
  chase.keyed.emplace(hash, row);
}

/// The rows of the class of `root`.
void gatherRows(Chase& chase, Symbol root) {
  chase.rowsToKey.clear();
  Symbol member = root;
  do {
    chase.rowsToKey.push_back(static_cast<std::uint32_t>(rowOfSymbol(chase.tableau, member)));
    member = chase.tableau.nextMember[member];
  } while (member != root);
}

void keepStep(Chase& chase, const Equality& equality, Symbol root) {
  if (chase.steps == nullptr || equality.entry == kNoCause) return;
  if (chase.steps->size() >= kKeptSteps) {
    chase.stepsCut = true;
    return;
  }
  ChaseStep step{.entry = equality.entry,
                 .agreedOn = {},
                 .column = equality.column,
                 .rows = {std::min(equality.row, equality.otherRow),
                          std::max(equality.row, equality.otherRow)},
                 .distinguished = chase.tableau.distinguished[root] != 0};
  if (equality.cause == kNoCause) {
    // Every two rows agree on nothing.
  } else if ((equality.cause & kSideCause) == 0) {
    step.agreedOn.push_back(equality.cause);
  } else {
    const std::uint32_t side = equality.cause & ~kSideCause;
    step.agreedOn.assign(
        chase.rules.sideColumns.begin() + static_cast<std::ptrdiff_t>(chase.rules.sideBegin[side]),
        chase.rules.sideColumns.begin() +
            static_cast<std::ptrdiff_t>(chase.rules.sideBegin[side + 1]));
  }
  chase.steps->push_back(std::move(step));
}

/// Equates the two cells of `equality` and whatever follows from it.
void settle(Chase& chase, const Equality& equality) {
  Tableau& tableau = chase.tableau;
  const ChaseRules& rules = chase.rules;
  const Symbol a = symbolAt(tableau, equality.row, equality.column);
  const Symbol b = symbolAt(tableau, equality.otherRow, equality.column);
  if (a == kNoSymbol || b == kNoSymbol) {
    chase.outOfRoom = true;
    return;
  }
  Symbol kept = rootOf(tableau, a);
  Symbol joined = rootOf(tableau, b);
  ++chase.work;
  if (kept == joined) return;
  if (sizeOfClass(tableau, kept) < sizeOfClass(tableau, joined)) std::swap(kept, joined);
  const std::size_t keptRow = rowOfSymbol(tableau, kept);
  const std::size_t joinedRow = rowOfSymbol(tableau, joined);
  const std::size_t sidesBegin = rules.sidesBegin[equality.column];
  const std::size_t sidesEnd = rules.sidesBegin[equality.column + 1];
  const bool bothAlone = sizeOfClass(tableau, kept) == 1;
  if (sidesBegin < sidesEnd) {
    // The rows whose keys change: the smaller class's; a class of one was filed under no key.
    gatherRows(chase, joined);
    for (std::size_t s = sidesBegin; s < sidesEnd; ++s) {
      for (const std::uint32_t row : chase.rowsToKey) forget(chase, rules.sidesHolding[s], row);
    }
  }
  joinClasses(tableau, kept, joined);
  keepStep(chase, equality, kept);
  for (std::size_t i = rules.stepBegin[equality.column]; i < rules.stepBegin[equality.column + 1];
       ++i) {
    const std::uint32_t entry = rules.stepEntries.empty() ? kNoCause : rules.stepEntries[i];
    chase.pending.push_back({rules.stepTargets[i], static_cast<std::uint32_t>(keptRow),
                             static_cast<std::uint32_t>(joinedRow), entry, equality.column});
  }
  chase.work += rules.stepBegin[equality.column + 1] - rules.stepBegin[equality.column];
  if (sidesBegin == sidesEnd) return;
  if (bothAlone) chase.rowsToKey.push_back(static_cast<std::uint32_t>(keptRow));
  for (std::size_t s = sidesBegin; s < sidesEnd; ++s) {
    for (const std::uint32_t row : chase.rowsToKey) file(chase, rules.sidesHolding[s], row);
  }
}

}  // namespace

ChaseResult chase(Tableau& tableau, ClosureRule rule, WorkBudget& budget,
                  std::vector<ChaseStep>* steps) {
  const ChaseRules rules = chaseRules(rule, steps != nullptr);
  startTableau(tableau, rules.columns, rules.sideBegin.size() > 1);
  Chase chase{.tableau = tableau,
              .rules = rules,
              .budget = budget,
              .steps = steps,
              .pending = {},
              .keyed = {},
              .key = {},
              .otherKey = {},
              .rowsToKey = {}};
  // The rows that hold a column start with one distinguished symbol there: equating them is the
  // chase's first work, and what follows from it the rest.
  std::vector<std::uint32_t> firstHolder(rules.columns, kNoCause);
  for (std::size_t r = 0; r < tableau.rows; ++r) {
    for (const AttributeId a : subschemaAttributes(r)) {
      if (firstHolder[a] == kNoCause) {
        firstHolder[a] = static_cast<std::uint32_t>(r);
      } else {
        chase.pending.push_back(
            {a, firstHolder[a], static_cast<std::uint32_t>(r), kNoCause, kNoCause});
      }
    }
  }
  for (std::size_t i = 0; i < rules.everywhereColumns.size(); ++i) {
    for (std::uint32_t r = 1; r < tableau.rows; ++r) {
      chase.pending.push_back(
          {rules.everywhereColumns[i], 0, r, rules.everywhereEntries[i], kNoCause});
    }
  }
  std::reverse(chase.pending.begin(), chase.pending.end());  // taken from the back, in order
  constexpr std::uint64_t kBatch = 4096;
  while (!chase.pending.empty() && budget.left > 0 && !chase.outOfRoom) {
    const Equality next = chase.pending.back();
    chase.pending.pop_back();
    settle(chase, next);
    if (chase.work >= kBatch) {
      spend(budget, chase.work);
      chase.work = 0;
    }
  }
  if (budget.left == 0 || chase.outOfRoom) return {.stepsCut = chase.stepsCut};
  ChaseResult result{.finished = true, .stepsCut = chase.stepsCut};
  result.fullRow = fullyDistinguishedRow(tableau);
  result.lossless = result.fullRow < tableau.rows;
  if (!result.lossless) result.fullRow = 0;
  return result;
}

}  // namespace fdpreserve
