// Under this tool's rule every X->Y reads as x->Y for each x in X, so the chase only ever equates
// along single steps, and row r ends distinguished in column A exactly when, among the rows and the
// attributes that reach A (A itself included), r is linked to A through rows that share an
// attribute. Call c a source of A when it reaches A and is so linked to A: being a source is a
// preorder, and a row is distinguished everywhere exactly when it holds an attribute of every
// class that nothing lies below. Such a class is a *piece* (attributes of one component of the
// steps, linked through rows holding two of them) that no row holds beside an attribute of a
// component reaching its own. So the verdict needs the pieces, and for each row which of its
// components another of them reaches: nearly linear, where the tableau is rows times columns.
#include "design/lossless_join.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "analysis/reach_index.h"
#include "analysis/tables_in_use.h"
#include "design/chase_rules.h"

namespace fdpreserve {

JoinLimits joinLimits;

namespace {

constexpr std::uint32_t kNever = ~std::uint32_t{0};

/// One component held by the row being looked at, and an attribute of it the row holds.
struct Member {
  NodeId component;
  AttributeId attribute;
};

/// Everything the verdict works on.
struct JoinWork {
  std::vector<NodeId> componentOf;
  ReachIndex reach;
  std::vector<AttributeId> piece;     ///< union-find over attribute ids
  std::vector<std::uint8_t> lowered;  ///< per piece root: a component reaching its own shares a row
  std::vector<std::uint32_t> rowMark;   ///< per component: the row that last held it
  std::vector<AttributeId> heldBy;      ///< per component: an attribute the marked row holds
  std::vector<std::uint32_t> seenMark;  ///< per component: the row whose search saw it
  std::vector<Member> members;
  std::vector<Member> unreached;  ///< the row's members no other member reaches, so far
  std::vector<NodeId> stack;
  WorkBudget& budget;
};

AttributeId findPiece(std::vector<AttributeId>& piece, AttributeId a) {
  while (piece[a] != a) {
    piece[a] = piece[piece[a]];
    a = piece[a];
  }
  return a;
}

/// A row that holds every attribute some subschema holds, or `kNever`.
std::uint32_t rowHoldingEverything() {
  std::vector<std::uint32_t> lastRow(attributeIds(), kNever);
  std::size_t held = 0;
  for (std::size_t r = 0; r < subschemasInUse(); ++r) {
    for (const AttributeId a : subschemaAttributes(r)) {
      if (lastRow[a] == kNever) ++held;
      lastRow[a] = static_cast<std::uint32_t>(r);
    }
  }
  std::fill(lastRow.begin(), lastRow.end(), kNever);
  for (std::size_t r = 0; r < subschemasInUse(); ++r) {
    std::size_t distinct = 0;
    for (const AttributeId a : subschemaAttributes(r)) {
      if (lastRow[a] == r) continue;
      lastRow[a] = static_cast<std::uint32_t>(r);
      ++distinct;
    }
    if (distinct == held) return static_cast<std::uint32_t>(r);
  }
  return kNever;
}

/// Links the attributes of each component that one row holds, into pieces.
void linkPieces(JoinWork& work) {
  work.piece.resize(attributeIds());
  std::iota(work.piece.begin(), work.piece.end(), AttributeId{0});
  for (std::size_t r = 0; r < subschemasInUse(); ++r) {
    for (const AttributeId a : subschemaAttributes(r)) {
      const NodeId c = work.componentOf[a];
      if (work.rowMark[c] == r) {
        work.piece[findPiece(work.piece, a)] = findPiece(work.piece, work.heldBy[c]);
      } else {
        work.rowMark[c] = static_cast<std::uint32_t>(r);
        work.heldBy[c] = a;
      }
    }
  }
}

void lower(JoinWork& work, const Member& member) {
  work.lowered[findPiece(work.piece, member.attribute)] = 1;
}

/// Lowers the members that another member reaches, asking the reach index about each member and
/// those before it that nothing reaches; false when that takes more questions than the row is
/// worth, as among many members nothing reaches.
bool lowerByQuestions(JoinWork& work) {
  work.unreached.assign(1, work.members.front());
  std::size_t questions = 0;
  const std::size_t allowed = joinLimits.questionsPerMember * work.members.size();
  for (std::size_t m = 1; m < work.members.size() && work.budget.left > 0; ++m) {
    const Member& member = work.members[m];
    bool reached = false;
    for (const Member& above : work.unreached) {
      if (++questions > allowed) return false;
      const std::size_t walkedBefore = work.reach.walked;
      reached = reaches(work.reach, above.component, member.component);
      spend(work.budget, 1 + work.reach.walked - walkedBefore);
      if (reached) break;
    }
    if (reached) {
      lower(work, member);
    } else {
      work.unreached.push_back(member);
    }
  }
  return true;
}

/// The same by searches down from each member that nothing reaches, in one sweep for the row:
/// what one search saw, no later one needs to see again.
void lowerBySearch(JoinWork& work, std::uint32_t row) {
  const NodeId lowest = work.members.back().component;
  for (const Member& member : work.members) {
    if (work.seenMark[member.component] == row) continue;  // lowered when it was seen
    work.seenMark[member.component] = row;
    work.stack.assign(1, member.component);
    while (!work.stack.empty() && work.budget.left > 0) {
      const NodeId v = work.stack.back();
      work.stack.pop_back();
      const auto next = successors(work.reach.between, v);
      spend(work.budget, 1 + next.size());
      for (const NodeId w : next) {
        // Every edge leads to a lower number: below the lowest member, no member is reached.
        if (w < lowest || work.seenMark[w] == row) continue;
        work.seenMark[w] = row;
        if (work.rowMark[w] == row) lower(work, Member{w, work.heldBy[w]});
        work.stack.push_back(w);
      }
    }
  }
}

/// Lowers every piece that some row holds beside a component reaching the piece's own.
void lowerPieces(JoinWork& work) {
  for (std::size_t r = 0; r < subschemasInUse() && work.budget.left > 0; ++r) {
    const auto row = static_cast<std::uint32_t>(r);
    work.members.clear();
    for (const AttributeId a : subschemaAttributes(r)) {
      const NodeId c = work.componentOf[a];
      if (work.rowMark[c] == row) continue;
      work.rowMark[c] = row;
      work.heldBy[c] = a;
      work.members.push_back({c, a});
    }
    spend(work.budget, work.members.size());
    if (work.members.size() < 2) continue;
    // Whatever reaches a component has a higher number than it.
    std::sort(work.members.begin(), work.members.end(),
              [](const Member& a, const Member& b) { return a.component > b.component; });
    if (!lowerByQuestions(work)) lowerBySearch(work, row);
  }
}

/// A lower bound of the distinguished cells of the final tableau: a row holding an attribute of
/// a piece ends distinguished in every column of the piece, as the attributes of a component reach
/// one another.
std::uint64_t cellsDistinguishedInPieces(JoinWork& work) {
  const std::size_t ids = attributeIds();
  std::vector<std::uint32_t> lastRow(ids, kNever);
  std::vector<std::uint64_t> size(ids, 0);
  std::vector<std::uint64_t> rows(ids, 0);
  for (std::size_t r = 0; r < subschemasInUse(); ++r) {
    for (const AttributeId a : subschemaAttributes(r)) {
      const AttributeId p = findPiece(work.piece, a);
      if (lastRow[a] == kNever) ++size[p];
      lastRow[a] = 0;
    }
  }
  std::fill(lastRow.begin(), lastRow.end(), kNever);
  for (std::size_t r = 0; r < subschemasInUse(); ++r) {
    for (const AttributeId a : subschemaAttributes(r)) {
      const AttributeId p = findPiece(work.piece, a);
      if (lastRow[p] == r) continue;
      lastRow[p] = static_cast<std::uint32_t>(r);
      ++rows[p];
    }
  }
  std::uint64_t cells = 0;
  for (std::size_t p = 0; p < ids; ++p) cells += size[p] * rows[p];
  return cells;
}

/// A row holding an attribute of every piece not lowered, or `kNever`.
std::uint32_t rowHoldingEveryLowestPiece(JoinWork& work) {
  const std::size_t ids = attributeIds();
  std::vector<std::uint32_t> lastRow(ids, kNever);
  std::size_t lowest = 0;
  for (std::size_t r = 0; r < subschemasInUse(); ++r) {
    for (const AttributeId a : subschemaAttributes(r)) {
      const AttributeId p = findPiece(work.piece, a);
      if (work.lowered[p] != 0 || lastRow[p] != kNever) continue;
      lastRow[p] = 0;
      ++lowest;
    }
  }
  std::fill(lastRow.begin(), lastRow.end(), kNever);
  for (std::size_t r = 0; r < subschemasInUse(); ++r) {
    std::size_t held = 0;
    for (const AttributeId a : subschemaAttributes(r)) {
      const AttributeId p = findPiece(work.piece, a);
      if (work.lowered[p] != 0 || lastRow[p] == r) continue;
      lastRow[p] = static_cast<std::uint32_t>(r);
      ++held;
    }
    if (held == lowest) return static_cast<std::uint32_t>(r);
  }
  return kNever;
}

}  // namespace

JoinVerdict losslessUnderAnyRule(WorkBudget& budget) {
  JoinVerdict verdict{.decided = true};
  if (subschemasInUse() == 0) return verdict;
  spend(budget, state.decomposition.rows.slots.size());
  if (const std::uint32_t row = rowHoldingEverything(); row != kNever) {
    return {.decided = true, .lossless = true, .fullRow = row, .holdsSchema = true};
  }
  Condensation steps = condense(stepsOfDependencies());
  const std::size_t components = nodeCount(steps.between);
  JoinWork work{.componentOf = std::move(steps.componentOf),
                .reach = buildReachIndex(std::move(steps.between)),
                .piece = {},
                .lowered = std::vector<std::uint8_t>(attributeIds(), 0),
                .rowMark = std::vector<std::uint32_t>(components, kNever),
                .heldBy = std::vector<AttributeId>(components, kFreeSlot),
                .seenMark = std::vector<std::uint32_t>(components, kNever),
                .members = {},
                .unreached = {},
                .stack = {},
                .budget = budget};
  linkPieces(work);
  std::fill(work.rowMark.begin(), work.rowMark.end(), kNever);
  lowerPieces(work);
  if (budget.left == 0) return {};
  const std::uint32_t row = rowHoldingEveryLowestPiece(work);
  if (row != kNever) return {.decided = true, .lossless = true, .fullRow = row};
  verdict.distinguishedCells = cellsDistinguishedInPieces(work);
  return verdict;
}

}  // namespace fdpreserve
