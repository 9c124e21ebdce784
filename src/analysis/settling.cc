#include "analysis/settling.h"

#include <algorithm>
#include <exception>
#include <new>
#include <span>
#include <utility>

#include "analysis/engine_limits.h"
#include "analysis/tables_in_use.h"
#include "platform/threads.h"

namespace fdpreserve {
namespace {

/// Tells, for one dependency after another, whether an attribute stands on its left side or was
/// asked for already. Most sides are short, and are simply looked through; long ones are marked,
/// so that a side of a million attributes costs a million steps, not their square.
struct SideMarks {
  std::vector<std::size_t> onLeftOf;  ///< for each attribute, the entry plus one
  std::vector<std::size_t> askedBy;
  std::vector<std::size_t> touchedBy;  ///< for each subschema, the entry plus one
  std::size_t touchedFor = 0;          ///< the entry, plus one, whose subschemas are marked
};

/// Whether `side` holds `x`.
bool holds(SlotRow side, AttributeId x) {
  return std::find(side.begin(), side.end(), x) != side.end();
}

/// Whether some subschema holds `y` beside an attribute of the left side of dependency `d`, whose
/// signatures together are `leftSignature`. Pairs of short sides are looked up one by one; a long
/// side has the subschemas of its left side marked once, so that two sides of thousands cost
/// thousands of steps, not millions.
bool sharedWithLeft(const SubschemaIndex& index, SideMarks& marks, std::size_t d, SlotRow left,
                    SlotRow right, std::uint64_t leftSignature, AttributeId y) {
  if ((leftSignature & index.signature[y]) == 0) return false;
  if (index.exactSignatures) return true;
  if (left.size() + right.size() <= engineLimits.lookedThroughSides) {
    return std::any_of(left.begin(), left.end(),
                       [&](AttributeId x) { return shareSubschema(index, x, y); });
  }
  if (marks.touchedFor != d + 1) {
    if (marks.touchedBy.empty()) marks.touchedBy.assign(subschemasInUse(), 0);
    for (const AttributeId x : left) {
      for (const NodeId i : subschemasHolding(index, x)) marks.touchedBy[i] = d + 1;
    }
    marks.touchedFor = d + 1;
  }
  const std::span<const NodeId> holding = subschemasHolding(index, y);
  return std::any_of(holding.begin(), holding.end(),
                     [&](NodeId i) { return marks.touchedBy[i] == d + 1; });
}

/// Whether right attribute number `r` of dependency `d` needs no answer: it stands on the left
/// side, or earlier on the right one.
bool answeredAlready(SideMarks& marks, std::size_t d, SlotRow left, SlotRow right, std::size_t r) {
  const AttributeId y = right[r];
  if (left.size() + right.size() <= engineLimits.lookedThroughSides) {
    return holds(right.first(r), y) || holds(left, y);
  }
  if (marks.onLeftOf.empty()) {
    marks.onLeftOf.assign(attributeIds(), 0);
    marks.askedBy.assign(attributeIds(), 0);
  }
  if (r == 0) {
    for (const AttributeId x : left) marks.onLeftOf[x] = d + 1;
  }
  if (marks.onLeftOf[y] == d + 1 || marks.askedBy[y] == d + 1) return true;
  marks.askedBy[y] = d + 1;
  return false;
}

/// Whether a dependency with short sides, whose steps are gathered here, is settled by its own
/// step for every right attribute, as nearly every one of a large input is. No branch but the
/// answer: where subschemas are many, or anything is left, the whole test takes over.
bool settledShort(const SubschemaIndex& index, StepMatrix& steps, SlotRow left, SlotRow right) {
  const ShortSide l = shortSideOf(left);
  const ShortSide r = shortSideOf(right);
  gatherShortSteps(steps, l, r);
  const std::uint64_t* const signature = index.signature.data();
  const std::uint64_t leftSignature = signature[l[0]] | signature[l[1]] | signature[l[2]];
  // In numbers rather than truth values: the compiler keeps | and & free of branches.
  unsigned settled = index.exactSignatures ? 1U : 0U;
  for (const AttributeId y : r) {
    settled &= static_cast<unsigned>(y == l[0]) | static_cast<unsigned>(y == l[1]) |
               static_cast<unsigned>(y == l[2]) |
               static_cast<unsigned>((leftSignature & signature[y]) != 0);
  }
  return settled != 0;
}

/// Whether both sides hold 1 to `kShortSide` attributes.
bool bothShort(SlotRow left, SlotRow right) {
  return left.size() - 1 < kShortSide && right.size() - 1 < kShortSide;
}

/// What the whole test needs besides the dependency at hand.
struct Settling {
  const SubschemaIndex& index;
  AnswerScope scope;
  Questions questions;
  SideMarks marks;
};

constexpr NodeId kNoSource = ~NodeId{0};

/// Where the search for the open attributes of a dependency with left side `left` starts: its one
/// held attribute, or a node of its own that leads to each.
NodeId sourceOf(Settling& settling, SlotRow left) {
  Questions& questions = settling.questions;
  const auto own = static_cast<NodeId>(attributeIds() + questions.ownSources);
  const std::size_t firstEdge = questions.sourceEdges.size();
  for (const AttributeId x : left) {
    if (isHeld(settling.index, x)) questions.sourceEdges.emplace_back(own, x);
  }
  if (questions.sourceEdges.size() - firstEdge == 1) {
    const NodeId held = questions.sourceEdges.back().second;
    questions.sourceEdges.pop_back();
    return held;
  }
  ++questions.ownSources;
  return own;
}

/// The whole test of dependency `d`, whose steps are gathered already; false once the verdict is
/// all that is asked and it is known. Kept apart from the short test, which it would crowd out of
/// the registers.
[[gnu::noinline]] bool settle(Settling& settling, std::size_t d, SlotRow left, SlotRow right) {
  const SubschemaIndex& index = settling.index;
  std::uint64_t leftSignature = 0;
  for (const AttributeId x : left) leftSignature |= index.signature[x];
  NodeId source = kNoSource;
  for (std::size_t r = 0; r < right.size(); ++r) {
    // Each right attribute is asked once; one on its own left side is there from the start.
    if (answeredAlready(settling.marks, d, left, right, r)) continue;
    const AttributeId y = right[r];
    if (isHeld(index, y) && leftSignature != 0) {
      if (sharedWithLeft(index, settling.marks, d, left, right, leftSignature, y)) continue;
      if (source == kNoSource) source = sourceOf(settling, left);
      settling.questions.items.push_back({d, y, source, false});
      settling.questions.anyOpen = true;
      continue;
    }
    settling.questions.items.push_back({d, y, 0, true});
    settling.questions.anyLacking = true;
    if (settling.scope == AnswerScope::kVerdict) return false;
  }
  return true;
}

/// The pass over dependencies `first` up to `last`, with its own-node sources numbered from 0.
Questions settleRange(const SubschemaIndex& index, AnswerScope scope, StepMatrix& steps,
                      std::size_t first, std::size_t last) {
  Settling settling{index, scope, {}, {}};
  forEachDependencyIn(first, last, [&](std::size_t d, SlotRow left, SlotRow right) {
    if (bothShort(left, right)) {
      if (settledShort(index, steps, left, right)) return true;
    } else {
      gatherSteps(steps, d, left, right);
    }
    return settle(settling, d, left, right);
  });
  return std::move(settling.questions);
}

/// Appends what the pass over the later dependencies left, `later` with `laterSteps`, to what the
/// pass over the earlier ones left: as one pass over both would have left it.
void appendLater(Questions& questions, StepMatrix& steps, Questions later,
                 const StepMatrix& laterSteps) {
  for (std::size_t w = 0; w < steps.bits.size(); ++w) steps.bits[w] |= laterSteps.bits[w];
  steps.ownNode.insert(steps.ownNode.end(), laterSteps.ownNode.begin(), laterSteps.ownNode.end());
  // The later pass numbered its nodes of their own from the first one, as the earlier pass did.
  const auto shift = static_cast<NodeId>(questions.ownSources);
  const auto firstOwn = static_cast<NodeId>(attributeIds());
  const std::size_t firstLater = questions.items.size();
  questions.items.reserve(firstLater + later.items.size());
  questions.items.insert(questions.items.end(), later.items.begin(), later.items.end());
  if (shift != 0) {
    for (Question& item : std::span(questions.items).subspan(firstLater)) {
      if (!item.lacking && item.source >= firstOwn) item.source += shift;
    }
  }
  for (const auto& [own, held] : later.sourceEdges) {
    questions.sourceEdges.emplace_back(own + shift, held);
  }
  questions.ownSources += later.ownSources;
  questions.anyOpen = questions.anyOpen || later.anyOpen;
  questions.anyLacking = questions.anyLacking || later.anyLacking;
}

}  // namespace

Questions settleDependencies(const SubschemaIndex& index, AnswerScope scope, StepMatrix& steps) {
  const std::size_t count = dependenciesInUse();
  if (count < std::max<std::size_t>(engineLimits.twoThreadSettling, 2)) {
    return settleRange(index, scope, steps, 0, count);
  }
  // Each dependency is settled on its own, given the subschemas: the two halves run at once, each
  // with steps of its own, and are put together as one pass over both would have left them.
  const std::size_t half = count / 2;
  StepMatrix laterSteps = startStepMatrix();
  Questions later;
  std::exception_ptr laterFailure;
  Questions questions;
  HelperThread helper = startHelper([&] {
    try {
      later = settleRange(index, scope, laterSteps, half, count);
    } catch (const std::bad_alloc&) {
      laterFailure = std::current_exception();
    }
  });
  questions = settleRange(index, scope, steps, 0, half);
  if (helper.joinable()) {
    helper.join();
  } else {
    later = settleRange(index, scope, laterSteps, half, count);
  }
  // Memory ran out on the helper thread: it goes on as if it had run out here.
  if (laterFailure != nullptr) std::rethrow_exception(laterFailure);
  // Asked only for the verdict, the pass stops at the first lacking attribute.
  if (scope == AnswerScope::kVerdict && questions.anyLacking) return questions;
  appendLater(questions, steps, std::move(later), laterSteps);
  return questions;
}

}  // namespace fdpreserve
