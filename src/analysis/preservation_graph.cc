#include "analysis/preservation_graph.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "analysis/chunked_preservation.h"
#include "analysis/digraph.h"
#include "analysis/tables_in_use.h"
#include "model/analysis_state.h"

namespace fdpreserve {
namespace {

/// Up to this many attribute ids, every pair of them gets a bit: the pair matrices then take at
/// most 16 MiB, and answer in a few passes what the chunks answer in one pass per 64 targets.
constexpr std::size_t kPairMatrixAttributes = 8192;

/// The row and column of an attribute in the pair matrix.
using Number = std::uint16_t;
static_assert(kPairMatrixAttributes + 1 <= std::numeric_limits<Number>::max());

/// The rows and columns of the pair matrix: the attributes that take part, numbered from 1.
/// Number 0 stands for free lanes, and for left attributes that take part in nothing; a right
/// attribute without a number of its own asks for column `count`, which nothing reaches.
struct Columns {
  std::vector<Number> numberOf;       ///< for each attribute id, its row and column
  std::vector<Number> askedNumberOf;  ///< the same, but `count` for ids without a number
  std::size_t count = 0;              ///< numbers in use, 0 included
};

/// Sets `askedNumberOf` from `numberOf`.
void numberAsked(Columns& columns) {
  columns.askedNumberOf = columns.numberOf;
  for (std::size_t x = 1; x < columns.askedNumberOf.size(); ++x) {
    if (columns.askedNumberOf[x] == 0) {
      columns.askedNumberOf[x] = static_cast<Number>(columns.count);
    }
  }
}

/// Every attribute id as its own number.
Columns everyAttributeColumns() {
  Columns columns;
  columns.numberOf.resize(attributeIds());
  for (std::size_t x = 0; x < attributeIds(); ++x) columns.numberOf[x] = static_cast<Number>(x);
  columns.count = attributeIds();
  numberAsked(columns);
  return columns;
}

/// The attributes that some subschema holds, numbered in id order. That is all a run needs when no
/// right side names an attribute outside the subschemas: every other attribute is then reached
/// from nothing but itself, and neither grows anything nor is asked for. A large input names
/// thousands of attributes on its left sides, but its subschemas hold a few hundred, and a matrix
/// of those stays in cache while millions of dependencies stream past it.
Columns heldColumns() {
  Columns columns;
  columns.numberOf.assign(attributeIds(), 0);
  for (std::size_t i = 0; i < subschemasInUse(); ++i) {
    for (const AttributeId x : subschemaAttributes(i)) columns.numberOf[x] = 1;
  }
  columns.count = 1;
  for (Number& number : columns.numberOf) {
    if (number != 0) number = static_cast<Number>(columns.count++);
  }
  numberAsked(columns);
  return columns;
}

/// Two bits for each pair of numbered attributes (x, y), in words side by side so that one cache
/// line serves both: whether some subschema holds both (or x is y), and whether one step of reach
/// leads from x to y.
struct PairMatrix {
  std::size_t words = 0;  ///< words in one row of one of the two
  std::vector<std::uint64_t> cells;
};

constexpr std::size_t kShared = 0;  // the plane of pairs that a subschema holds
constexpr std::size_t kStep = 1;    // the plane of reach steps

std::uint64_t* cellOf(PairMatrix& matrix, std::size_t x, std::size_t y) {
  return matrix.cells.data() + (x * matrix.words + y / 64) * 2;
}

std::uint64_t bitOf(std::size_t y) {
  return std::uint64_t{1} << (y % 64);
}

/// Marks every pair of the attributes of `subschema`, in numbers, as shared.
void markShared(PairMatrix& matrix, const std::vector<Number>& subschema) {
  for (const Number x : subschema) {
    for (const Number y : subschema) cellOf(matrix, x, y)[kShared] |= bitOf(y);
  }
}

/// A matrix whose shared plane holds every pair that a subschema in use holds, and every
/// attribute beside itself. `held` gets a bit for each attribute that a subschema holds.
PairMatrix sharedPairs(const Columns& columns, std::vector<std::uint64_t>& held) {
  PairMatrix matrix;
  matrix.words = targetWords(columns.count + 1);
  matrix.cells.assign(columns.count * matrix.words * 2, 0);
  held.assign(matrix.words, 0);
  std::vector<Number> subschema;
  std::vector<std::uint64_t> all(matrix.words);
  for (std::size_t i = 0; i < subschemasInUse(); ++i) {
    subschema.clear();
    for (const AttributeId x : subschemaAttributes(i)) subschema.push_back(columns.numberOf[x]);
    for (const Number x : subschema) held[x / 64] |= bitOf(x);
    if (subschema.size() <= matrix.words) {
      markShared(matrix, subschema);
      continue;
    }
    // A long subschema: each of its rows gets the whole subschema in words, not in bits.
    std::fill(all.begin(), all.end(), 0);
    for (const Number y : subschema) all[y / 64] |= bitOf(y);
    for (const Number x : subschema) {
      std::uint64_t* const row = cellOf(matrix, x, 0);
      for (std::size_t w = 0; w < matrix.words; ++w) row[2 * w + kShared] |= all[w];
    }
  }
  for (std::size_t x = 1; x < columns.count; ++x) cellOf(matrix, x, x)[kShared] |= bitOf(x);
  return matrix;
}

/// The attributes of a side of at most three slots, `kFreeSlot` where it has none. Short sides
/// are the bulk of a large input, and go without loops: the branches of short loops of random
/// length would cost more than all the work of such a side.
struct ShortSide {
  AttributeId first;
  AttributeId second;
  AttributeId third;
};

constexpr std::size_t kShortSide = 3;

/// Whether both sides are short.
bool bothShort(SlotRow left, SlotRow right) {
  return left.size() - 1 < kShortSide && right.size() - 1 < kShortSide;
}

/// The attributes of a stored row of 1 to `kShortSide` slots: those before its first free slot.
ShortSide shortSideOf(SlotRow row) {
  const std::size_t last = row.size() - 1;
  const AttributeId* const slots = row.data();
  const AttributeId first = slots[0];
  const AttributeId second =
      slots[std::min<std::size_t>(1, last)] &
      (0U - static_cast<AttributeId>(static_cast<unsigned>(last >= 1) & (first != kFreeSlot)));
  const AttributeId third =
      slots[last] &
      (0U - static_cast<AttributeId>(static_cast<unsigned>(last >= 2) & (second != kFreeSlot)));
  return {first, second, third};
}

/// A dependency with short sides, in numbers: little to keep, and read back in order. Free lanes
/// are 0 on both sides.
struct ShortDependency {
  std::array<Number, kShortSide> left;
  std::array<Number, kShortSide> right;
};

/// The numbers of a dependency with short sides.
ShortDependency numbersOf(const Columns& columns, SlotRow leftSlots, SlotRow rightSlots) {
  const ShortSide left = shortSideOf(leftSlots);
  const ShortSide right = shortSideOf(rightSlots);
  return {
      {columns.numberOf[left.first], columns.numberOf[left.second], columns.numberOf[left.third]},
      {columns.askedNumberOf[right.first], columns.askedNumberOf[right.second],
       columns.askedNumberOf[right.third]}};
}

/// Open dependencies kept in numbers, at most: 3 MiB, against thousands of scattered reads of the
/// tables. Those past it are looked up in the tables again.
constexpr std::size_t kKeptOpen = std::size_t{1} << 18;

/// The dependencies the shared pairs alone do not settle.
struct OpenDependencies {
  std::vector<ShortDependency> kept;  ///< those with short sides, while there is room
  std::vector<std::uint64_t> bits;    ///< the others, one bit each
  bool any = false;
  bool hopeless = false;    ///< some dependency can never be preserved
  bool needsEvery = false;  ///< the numbering leaves out an attribute that takes part
};

/// What one dependency leaves to the grow graph.
enum class Settling : std::uint8_t { kSettled, kOpen, kHopeless, kNeedsEvery };

/// Whether `row` holds `x`.
bool holds(SlotRow row, AttributeId x) {
  return std::find(row.begin(), row.end(), x) != row.end();
}

/// Marks the reach steps of one dependency, and tells whether it is settled: each of its right
/// attributes shares a subschema with one of its left ones, so that the step itself joins the two
/// in the grow graph. One whose right attribute no subschema holds can never be preserved, unless
/// its own left side holds it: then the numbering must take in every attribute, as reach may pass
/// through it.
Settling markSteps(PairMatrix& matrix, const Columns& columns,
                   const std::vector<std::uint64_t>& held, SlotRow left, SlotRow right,
                   std::vector<std::uint64_t>& scratch) {
  for (const AttributeId y : right) {
    if (columns.numberOf[y] == 0) {
      return holds(left, y) ? Settling::kNeedsEvery : Settling::kHopeless;
    }
  }
  Settling settling = Settling::kSettled;
  const auto settle = [&](std::size_t y, std::uint64_t shared) {
    if ((shared & bitOf(y)) != 0) return;
    settling = (held[y / 64] & bitOf(y)) == 0 ? Settling::kHopeless : Settling::kOpen;
  };
  if (right.size() <= matrix.words) {
    for (const AttributeId rightId : right) {
      const Number y = columns.numberOf[rightId];
      std::uint64_t shared = 0;
      for (const AttributeId leftId : left) {
        std::uint64_t* const cell = cellOf(matrix, columns.numberOf[leftId], y);
        shared |= cell[kShared];
        cell[kStep] |= bitOf(y);
      }
      settle(y, shared);
      if (settling == Settling::kHopeless) break;
    }
    return settling;
  }
  // A long right side: each left attribute takes it in words, not in bits.
  std::fill(scratch.begin(), scratch.end(), 0);
  for (const AttributeId rightId : right) {
    const Number y = columns.numberOf[rightId];
    scratch[2 * std::size_t{y / 64U} + kStep] |= bitOf(y);
  }
  for (const AttributeId leftId : left) {
    std::uint64_t* const row = cellOf(matrix, columns.numberOf[leftId], 0);
    for (std::size_t w = 0; w < 2 * matrix.words; w += 2) {
      scratch[w + kShared] |= row[w + kShared];
      row[w + kStep] |= scratch[w + kStep];
    }
  }
  for (const AttributeId rightId : right) {
    const Number y = columns.numberOf[rightId];
    settle(y, scratch[2 * std::size_t{y / 64U} + kShared]);
    if (settling == Settling::kHopeless) break;
  }
  return settling;
}

/// What a dependency with short sides still lacks, one bit for each right attribute in its word:
/// steps not yet marked, and right attributes that share no subschema with a left one. On a large
/// input the matrix fills up early, and then this test, which costs no branch, is all a
/// dependency needs. Free lanes read row 0, whose steps are all set, and ask for no bit; column
/// `count` shares nothing.
struct Lacking {
  std::uint64_t steps;
  std::uint64_t shared;
};

Lacking lackingOf(const PairMatrix& matrix, const ShortDependency& dependency) {
  const std::uint64_t* const cells = matrix.cells.data();
  const std::size_t rowWords = 2 * matrix.words;
  const std::uint64_t* const first = cells + dependency.left[0] * rowWords;
  const std::uint64_t* const second = cells + dependency.left[1] * rowWords;
  const std::uint64_t* const third = cells + dependency.left[2] * rowWords;
  Lacking lacking{0, 0};
  for (const Number y : dependency.right) {
    const std::size_t at = 2 * std::size_t{y / 64U};
    const std::uint64_t bit = static_cast<std::uint64_t>(y != 0) << (y % 64U);
    lacking.shared |= bit & ~(first[at + kShared] | second[at + kShared] | third[at + kShared]);
    lacking.steps |= bit & ~(first[at + kStep] & second[at + kStep] & third[at + kStep]);
  }
  return lacking;
}

/// Whether some subschema holds every attribute of a short right side.
bool allHeld(const std::vector<std::uint64_t>& held, const ShortDependency& dependency) {
  std::uint64_t unheld = 0;
  for (const Number y : dependency.right) {
    unheld |= (static_cast<std::uint64_t>(y != 0) << (y % 64U)) & ~held[y / 64U];
  }
  return unheld == 0;
}

/// Calls `visit(d, left, right)` with the stored sides of each dependency in use, in order, for
/// as long as it returns true.
template <typename Visit>
void forEachDependency(Visit visit) {
  const SlotTable& sides = state.dependencies.sides;
  const std::size_t count = dependenciesInUse();
  if (!sides.wrapRows.empty() || sides.rowEnds.size() < 2 * count) {
    for (std::size_t d = 0; d < count; ++d) {
      if (!visit(d, leftSide(state.dependencies, d), rightSide(state.dependencies, d))) return;
    }
    return;
  }
  // Each row starts where the one before it ends: one pass over the ends finds every row, where
  // finding each on its own costs more than the test most dependencies need.
  const AttributeId* const slots = sides.slots.data();
  const std::uint32_t* const ends = sides.rowEnds.data();
  std::uint32_t begin = 0;
  for (std::size_t d = 0; d < count; ++d) {
    const std::uint32_t leftEnd = ends[2 * d];
    const std::uint32_t rightEnd = ends[2 * d + 1];
    if (!visit(d, SlotRow(slots + begin, leftEnd - begin),
               SlotRow(slots + leftEnd, rightEnd - leftEnd))) {
      return;
    }
    begin = rightEnd;
  }
}

/// The pass that marks every reach step: the matrix, the numbering, and what the pass has found.
struct StepPass {
  PairMatrix& matrix;
  const Columns& columns;
  const std::vector<std::uint64_t>& held;
  std::vector<std::uint64_t> scratch;
  OpenDependencies open;
};

void keepOpen(OpenDependencies& open, std::size_t d, const ShortDependency* numbered) {
  open.any = true;
  if (numbered != nullptr && open.kept.size() < kKeptOpen) {
    open.kept.push_back(*numbered);
  } else {
    open.bits[d / 64] |= std::uint64_t{1} << (d % 64);
  }
}

/// Marks the steps of dependency `d`, `numbered` when its sides are short; false once the answer
/// is known or the numbering falls short.
bool markStepsOf(StepPass& pass, std::size_t d, const ShortDependency* numbered) {
  const bool scanRows = state.dependencies.sides.hasInnerFreeSlots;
  const SlotRow leftSlots = leftSide(state.dependencies, d);
  const SlotRow rightSlots = rightSide(state.dependencies, d);
  switch (markSteps(pass.matrix, pass.columns, pass.held,
                    scanRows ? attributesOf(leftSlots) : leftSlots,
                    scanRows ? attributesOf(rightSlots) : rightSlots, pass.scratch)) {
    case Settling::kSettled:
      return true;
    case Settling::kOpen:
      keepOpen(pass.open, d, numbered);
      return true;
    case Settling::kHopeless:
      pass.open.hopeless = true;
      return false;
    case Settling::kNeedsEvery:
      pass.open.needsEvery = true;
      return false;
  }
  return true;
}

/// Dependencies with short sides, gathered in numbers before they meet the matrix: gathering
/// streams through the tables with nothing to wait for, and the tests then run from cache.
struct ShortBatch {
  static constexpr std::size_t kSize = 256;
  std::array<ShortDependency, kSize> numbered;
  std::array<std::size_t, kSize> index;
  std::size_t size = 0;
};

/// Tests a batch of dependencies with short sides, and empties it; false as `markStepsOf`.
bool testBatch(StepPass& pass, ShortBatch& batch) {
  const std::size_t size = batch.size;
  batch.size = 0;
  for (std::size_t b = 0; b < size; ++b) {
    const ShortDependency& numbered = batch.numbered[b];
    const Lacking lacking = lackingOf(pass.matrix, numbered);
    if ((lacking.steps | lacking.shared) == 0) continue;
    // Every step marked, but not settled: left to the grow graph, unless it can never be.
    if (lacking.steps == 0 && allHeld(pass.held, numbered)) {
      keepOpen(pass.open, batch.index[b], &numbered);
      continue;
    }
    if (!markStepsOf(pass, batch.index[b], &numbered)) return false;
  }
  return true;
}

/// Marks every reach step in the step plane, and returns the dependencies that are not settled.
OpenDependencies markAllSteps(PairMatrix& matrix, const Columns& columns,
                              const std::vector<std::uint64_t>& held) {
  StepPass pass{matrix, columns, held, std::vector<std::uint64_t>(2 * matrix.words), {}};
  pass.open.bits.assign((dependenciesInUse() + 63) / 64, 0);
  std::fill_n(matrix.cells.begin(), 2 * matrix.words, ~std::uint64_t{0});
  for (std::size_t w = 0; w < matrix.words; ++w) matrix.cells[2 * w + kShared] = 0;
  ShortBatch batch;
  bool going = true;
  forEachDependency([&](std::size_t d, SlotRow left, SlotRow right) {
    if (!bothShort(left, right)) {
      going = markStepsOf(pass, d, nullptr);
      return going;
    }
    batch.numbered[batch.size] = numbersOf(columns, left, right);
    batch.index[batch.size] = d;
    if (++batch.size < ShortBatch::kSize) return true;
    going = testBatch(pass, batch);
    return going;
  });
  if (going) testBatch(pass, batch);
  return pass.open;
}

/// The graph of the pairs set in plane `plane` of each row, each row first masked by `mask(x)`.
template <typename Mask>
Digraph graphOfPlane(const PairMatrix& matrix, std::size_t rows, std::size_t plane, Mask mask) {
  return buildDigraph(rows, [&](auto emit) {
    // Row 0 stands for free lanes, and holds no attribute; no row reaches column `rows`.
    for (std::size_t x = 1; x < rows; ++x) {
      const std::uint64_t* const row = matrix.cells.data() + x * matrix.words * 2;
      for (std::size_t w = 0; w < matrix.words; ++w) {
        std::uint64_t bits = row[2 * w + plane] & mask(x, w);
        while (bits != 0) {
          emit(static_cast<NodeId>(x),
               static_cast<NodeId>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits))));
          bits &= bits - 1;
        }
      }
    }
  });
}

std::vector<NodeId> everyNode(std::size_t count) {
  std::vector<NodeId> all(count);
  for (NodeId x = 0; x < all.size(); ++x) all[x] = x;
  return all;
}

/// Rows of the numbered attributes that each component of the grow graph reaches.
struct GrowReach {
  Condensation grow;
  std::vector<std::uint64_t> reached;
  std::size_t words = 0;
};

const std::uint64_t* reachedFrom(const GrowReach& reach, std::size_t x) {
  return reach.reached.data() + reach.grow.componentOf[x] * reach.words;
}

/// Whether a short left side reaches every attribute of a short right side in the grow graph,
/// both in numbers. Free lanes read row 0, which reaches only itself, and ask for no bit.
bool reachesAll(const GrowReach& reach, const ShortDependency& dependency) {
  const std::uint64_t* const first = reachedFrom(reach, dependency.left[0]);
  const std::uint64_t* const second = reachedFrom(reach, dependency.left[1]);
  const std::uint64_t* const third = reachedFrom(reach, dependency.left[2]);
  std::uint64_t missing = 0;
  for (const Number y : dependency.right) {
    const std::size_t at = y / 64U;
    missing |=
        (static_cast<std::uint64_t>(y != 0) << (y % 64U)) & ~(first[at] | second[at] | third[at]);
  }
  return missing == 0;
}

/// Whether dependency `d` has its left side reach every attribute of its right side in the grow
/// graph.
bool reachesAll(const GrowReach& reach, const Columns& columns, std::size_t d,
                std::vector<std::uint64_t>& scratch) {
  const SlotRow leftSlots = leftSide(state.dependencies, d);
  const SlotRow rightSlots = rightSide(state.dependencies, d);
  if (bothShort(leftSlots, rightSlots)) {
    return reachesAll(reach, numbersOf(columns, leftSlots, rightSlots));
  }
  std::fill(scratch.begin(), scratch.end(), 0);
  for (const AttributeId x : leftAttributes(d)) {
    const std::uint64_t* const row = reachedFrom(reach, columns.numberOf[x]);
    for (std::size_t w = 0; w < reach.words; ++w) scratch[w] |= row[w];
  }
  const SlotRow right = rightAttributes(d);
  return std::all_of(right.begin(), right.end(), [&](AttributeId id) {
    const Number y = columns.numberOf[id];
    return (scratch[y / 64U] & bitOf(y)) != 0;
  });
}

/// The answer for attribute counts that the pair matrix can hold, with the attributes numbered
/// as `columns` has them; nothing when the numbering leaves out one that takes part.
std::optional<bool> preservedByPairMatrix(const Columns& columns) {
  std::vector<std::uint64_t> held;
  GrowReach reach;
  OpenDependencies open;
  {
    PairMatrix matrix = sharedPairs(columns, held);
    open = markAllSteps(matrix, columns, held);
    if (open.hopeless) return false;
    if (open.needsEvery) return std::nullopt;
    if (!open.any) return true;
    const Condensation steps = condense(graphOfPlane(
        matrix, columns.count, kStep, [](std::size_t, std::size_t) { return ~std::uint64_t{0}; }));
    const std::vector<std::uint64_t> reached = reachedTargets(steps, everyNode(columns.count));
    // The matrix has a word more than these rows when column `count` starts one.
    const std::size_t reachWords = targetWords(columns.count);
    reach.grow =
        condense(graphOfPlane(matrix, columns.count, kShared, [&](std::size_t x, std::size_t w) {
          return w < reachWords ? reached[steps.componentOf[x] * reachWords + w] : 0;
        }));
  }
  reach.words = targetWords(columns.count);
  reach.reached = reachedTargets(reach.grow, everyNode(columns.count));
  if (!std::all_of(open.kept.begin(), open.kept.end(), [&](const ShortDependency& dependency) {
        return reachesAll(reach, dependency);
      })) {
    return false;
  }
  std::vector<std::uint64_t> scratch(reach.words);
  for (std::size_t w = 0; w < open.bits.size(); ++w) {
    for (std::uint64_t bits = open.bits[w]; bits != 0; bits &= bits - 1) {
      const std::size_t d = w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
      if (!reachesAll(reach, columns, d, scratch)) return false;
    }
  }
  return true;
}

}  // namespace

bool allDependenciesPreserved() {
  if (attributeIds() > kPairMatrixAttributes) return allDependenciesPreservedInChunks();
  const std::optional<bool> held = preservedByPairMatrix(heldColumns());
  if (held.has_value()) return *held;
  // With every attribute numbered, none is left out.
  return preservedByPairMatrix(everyAttributeColumns()).value_or(false);
}

}  // namespace fdpreserve
