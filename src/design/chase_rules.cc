#include "design/chase_rules.h"

#include <algorithm>

#include "analysis/step_graph.h"
#include "analysis/tables_in_use.h"
#include "design/pair_map.h"

namespace fdpreserve {
namespace {

constexpr std::uint32_t kNoEntry = ~std::uint32_t{0};

/// One column a left side's dependency equates, first given by `entry`.
struct Firing {
  std::uint32_t from;  ///< a column, or a side of several columns
  NodeId to;
  std::uint32_t entry;
};

/// Lays `firings` out by `from`, over `count` sources, into `begin`, `targets` and `entries`.
void layOut(const std::vector<Firing>& firings, std::size_t count, std::vector<std::size_t>& begin,
            std::vector<NodeId>& targets, std::vector<std::uint32_t>& entries, bool keepEntries) {
  begin.assign(count + 1, 0);
  for (const Firing& f : firings) ++begin[f.from + 1];
  for (std::size_t i = 0; i < count; ++i) begin[i + 1] += begin[i];
  targets.resize(firings.size());
  if (keepEntries) entries.resize(firings.size());
  std::vector<std::size_t> next(begin.begin(), begin.end() - 1);
  for (const Firing& f : firings) {
    const std::size_t at = next[f.from]++;
    targets[at] = f.to;
    if (keepEntries) entries[at] = f.entry;
  }
}

/// The distinct attributes of `side`, ascending.
void distinctInto(SlotRow side, std::vector<NodeId>& out) {
  out.assign(side.begin(), side.end());
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
}

std::uint64_t sideHash(const std::vector<NodeId>& side, std::uint64_t salt) {
  std::uint64_t hash = 0xCBF29CE484222325ULL ^ salt;
  for (const NodeId c : side) hash = (hash ^ c) * 0x100000001B3ULL;
  return hash | 1U;
}

/// The number of the side of several columns equal to `side`, added when new.
std::uint32_t sideNumber(ChaseRules& rules, PairMap& sides, const std::vector<NodeId>& side) {
  for (std::uint64_t salt = 0;; ++salt) {
    const auto candidate = static_cast<std::uint32_t>(rules.sideBegin.size() - 1);
    const auto [found, added] = insertValue(sides, sideHash(side, salt), candidate);
    if (added) {
      rules.sideColumns.insert(rules.sideColumns.end(), side.begin(), side.end());
      rules.sideBegin.push_back(rules.sideColumns.size());
      return found;
    }
    const auto begin =
        rules.sideColumns.begin() + static_cast<std::ptrdiff_t>(rules.sideBegin[found]);
    const auto end =
        rules.sideColumns.begin() + static_cast<std::ptrdiff_t>(rules.sideBegin[found + 1]);
    if (std::equal(begin, end, side.begin(), side.end())) return found;
  }
}

/// Up to this many columns, the columns each left side's right sides name are kept as bits: a
/// large input names the same few thousand pairs millions of times, and the bits stay in cache.
constexpr std::size_t kBitmapColumns = 4096;

/// Pairs of a left side and a column, as bits or, for many columns, in a map.
struct PairSet {
  std::size_t words = 0;  ///< per left side; 0 when the map holds them
  std::vector<std::uint64_t> bits;
  PairMap map;
};

/// Adds the pair, and says whether it is new.
bool firstTime(PairSet& set, std::uint32_t side, NodeId column) {
  if (set.words == 0) return insertValue(set.map, pairKey(side, column), 0).second;
  const std::size_t at = std::size_t{side} * set.words + column / 64;
  if (at >= set.bits.size()) set.bits.resize(std::max(2 * set.bits.size(), at + set.words), 0);
  const std::uint64_t bit = std::uint64_t{1} << (column % 64);
  if ((set.bits[at] & bit) != 0) return false;
  set.bits[at] |= bit;
  return true;
}

/// For each column, whether the chase can ever equate two of its cells: two rows hold it, or a
/// right side names it. In any other column every row keeps a symbol of its own.
std::vector<std::uint8_t> columnsEverEquated(std::size_t columns) {
  std::vector<std::uint8_t> equated(columns, 0);
  std::vector<std::uint8_t> held(columns, 0);
  for (std::size_t r = 0; r < subschemasInUse(); ++r) {
    for (const AttributeId a : subschemaAttributes(r)) {
      if (held[a] != 0) equated[a] = 1;
      held[a] = 1;
    }
  }
  forEachDependency([&](std::size_t, SlotRow, SlotRow right) {
    for (const AttributeId y : right) equated[y] = 1;
    return true;
  });
  return equated;
}

/// Steps from the graph of steps, without entries.
ChaseRules stepRules() {
  ChaseRules rules;
  Digraph steps = stepsOfDependencies();
  rules.columns = nodeCount(steps);
  rules.stepBegin = std::move(steps.firstEdge);
  rules.stepTargets = std::move(steps.edgeTargets);
  rules.sidesBegin.assign(rules.columns + 1, 0);
  return rules;
}

}  // namespace

Digraph stepsOfDependencies() {
  // The matrix drops repeated steps as they come, which pays where the dependencies repeat the
  // same few steps many times over; elsewhere its bits cost more than the lists.
  const std::size_t matrixBytes = attributeIds() * ((attributeIds() + 63) / 64) * 8;
  const std::size_t sideBytes = state.dependencies.sides.slots.size() * sizeof(AttributeId);
  StepMatrix matrix = matrixBytes <= sideBytes ? startStepMatrix() : StepMatrix{};
  if (matrix.words != 0) {
    forEachDependency([&](std::size_t d, SlotRow left, SlotRow right) {
      gatherSteps(matrix, d, left, right);
      return true;
    });
  }
  return stepGraph(matrix);
}

ChaseRules chaseRules(ClosureRule rule, bool keepEntries) {
  const bool anyRule = rule == ClosureRule::kAnyLeftAttribute;
  if (anyRule && !keepEntries) return stepRules();
  ChaseRules rules;
  rules.columns = attributeIds();
  std::vector<Firing> steps;
  std::vector<Firing> rights;
  PairMap seenStep;
  PairSet seenRight{.words = rules.columns <= kBitmapColumns ? (rules.columns + 63) / 64 : 0,
                    .bits = {},
                    .map = {}};
  PairMap sides;
  std::vector<std::uint8_t> everywhere(rules.columns, 0);
  const std::vector<std::uint8_t> equated = columnsEverEquated(rules.columns);
  std::vector<NodeId> left;
  forEachDependency([&](std::size_t d, SlotRow leftSide, SlotRow right) {
    // Rows never agree on a column that stays a symbol of its own in every row.
    if (right.empty() || std::any_of(leftSide.begin(), leftSide.end(),
                                     [&](AttributeId x) { return equated[x] == 0; })) {
      return true;
    }
    const auto entry = static_cast<std::uint32_t>(d);
    distinctInto(leftSide, left);
    if (!anyRule && left.empty()) {
      for (const AttributeId y : right) {
        if (everywhere[y] != 0) continue;
        everywhere[y] = 1;
        rules.everywhereColumns.push_back(y);
        rules.everywhereEntries.push_back(entry);
      }
    } else if (anyRule || left.size() == 1) {
      for (const NodeId x : left) {
        for (const AttributeId y : right) {
          if (y != x && insertValue(seenStep, pairKey(x, y), 0).second) {
            steps.push_back({x, y, entry});
          }
        }
      }
    } else {
      const std::uint32_t side = sideNumber(rules, sides, left);
      for (const AttributeId y : right) {
        if (firstTime(seenRight, side, y)) rights.push_back({side, y, entry});
      }
    }
    return true;
  });
  layOut(steps, rules.columns, rules.stepBegin, rules.stepTargets, rules.stepEntries, keepEntries);
  const std::size_t sideCount = rules.sideBegin.size() - 1;
  layOut(rights, sideCount, rules.rightBegin, rules.rightColumns, rules.rightEntries, true);
  std::vector<Firing> holding;
  for (std::size_t g = 0; g < sideCount; ++g) {
    for (std::size_t i = rules.sideBegin[g]; i < rules.sideBegin[g + 1]; ++i) {
      holding.push_back({rules.sideColumns[i], static_cast<NodeId>(g), kNoEntry});
    }
  }
  std::vector<std::uint32_t> unused;
  layOut(holding, rules.columns, rules.sidesBegin, rules.sidesHolding, unused, false);
  return rules;
}

}  // namespace fdpreserve
