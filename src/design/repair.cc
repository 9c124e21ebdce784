#include "design/repair.h"

#include <algorithm>
#include <map>
#include <utility>

#include "analysis/dependency_answers.h"
#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

constexpr std::uint32_t kUnmarked = ~std::uint32_t{0};

/// Drops the attributes that appear earlier in the same list, keeping the order of the rest.
void dropRepeats(std::vector<AttributeId>& attributes, std::vector<std::uint32_t>& mark,
                 std::uint32_t list) {
  std::erase_if(attributes, [&](AttributeId a) {
    if (mark[a] == list) return true;
    mark[a] = list;
    return false;
  });
}

/// The kept proposals that hold each attribute, as lists through one block: a large repair keeps
/// tens of thousands of proposals, and a list of its own for each would cost an allocation each.
struct HoldingLists {
  std::vector<std::uint32_t> head;  ///< per attribute: its first entry, or `kUnmarked`
  std::vector<std::uint32_t> next;  ///< per entry: the next entry of the same attribute
  std::vector<std::uint32_t> proposal;
  std::vector<std::uint32_t> length;  ///< per attribute
};

/// Moves each proposal whose attributes a larger one holds into that one, largest first, so
/// that a proposal taken in is never one that takes in others.
std::vector<AddedSubschema> mergeContained(std::vector<AddedSubschema> proposals,
                                           WorkBudget& budget) {
  std::vector<std::uint32_t> order(proposals.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return proposals[a].attributes.size() > proposals[b].attributes.size();
  });
  HoldingLists holding{.head = std::vector<std::uint32_t>(attributeIds(), kUnmarked),
                       .next = {},
                       .proposal = {},
                       .length = std::vector<std::uint32_t>(attributeIds(), 0)};
  // Whether a candidate holds every attribute of a proposal: its attributes marked, then looked up.
  std::vector<std::uint32_t> mark(attributeIds(), kUnmarked);
  std::vector<std::uint8_t> kept(proposals.size(), 0);
  for (const std::uint32_t p : order) {
    const std::vector<AttributeId>& mine = proposals[p].attributes;
    const AttributeId rarest = *std::min_element(mine.begin(), mine.end(), [&](auto a, auto b) {
      return holding.length[a] < holding.length[b];
    });
    std::size_t container = proposals.size();
    for (std::uint32_t e = holding.head[rarest]; e != kUnmarked; e = holding.next[e]) {
      const std::uint32_t q = holding.proposal[e];
      const std::vector<AttributeId>& theirs = proposals[q].attributes;
      if (!spend(budget, mine.size() + theirs.size())) break;
      for (const AttributeId a : theirs) mark[a] = e;
      if (std::all_of(mine.begin(), mine.end(), [&](AttributeId a) { return mark[a] == e; })) {
        container = q;
        break;
      }
    }
    if (container < proposals.size()) {
      auto& restores = proposals[container].restores;
      restores.insert(restores.end(), proposals[p].restores.begin(), proposals[p].restores.end());
      continue;
    }
    kept[p] = 1;
    for (const AttributeId a : mine) {
      holding.next.push_back(holding.head[a]);
      holding.proposal.push_back(p);
      holding.head[a] = static_cast<std::uint32_t>(holding.proposal.size() - 1);
      ++holding.length[a];
    }
  }
  std::vector<AddedSubschema> merged;
  for (std::size_t p = 0; p < proposals.size(); ++p) {
    if (kept[p] == 0) continue;
    std::sort(proposals[p].restores.begin(), proposals[p].restores.end());
    merged.push_back(std::move(proposals[p]));
  }
  std::sort(merged.begin(), merged.end(), [](const AddedSubschema& a, const AddedSubschema& b) {
    return a.restores.front() < b.restores.front();
  });
  return merged;
}

/// The proposals by their left sides: one attribute, the common case, straight from an index;
/// several through a map.
struct ProposalIndex {
  std::vector<std::uint32_t> byAttribute;
  std::map<std::vector<AttributeId>, std::size_t> bySide;
  std::vector<AttributeId> key;
};

/// The proposal for left side `left`, added when new.
AddedSubschema& proposalFor(RepairProposal& proposal, ProposalIndex& index, SlotRow left) {
  index.key.assign(left.begin(), left.end());
  std::sort(index.key.begin(), index.key.end());
  index.key.erase(std::unique(index.key.begin(), index.key.end()), index.key.end());
  const auto next = static_cast<std::uint32_t>(proposal.added.size());
  const std::size_t at = index.key.size() == 1
                             ? index.byAttribute[index.key.front()]
                             : index.bySide.try_emplace(index.key, next).first->second;
  if (at != kUnmarked && at != next) return proposal.added[at];
  if (index.key.size() == 1) index.byAttribute[index.key.front()] = next;
  proposal.added.push_back({.attributes = {left.begin(), left.end()}, .restores = {}});
  return proposal.added.back();
}

}  // namespace

RepairProposal proposeRepair(ClosureRule rule, std::span<const LostDependency> lost,
                             WorkBudget& budget) {
  RepairProposal proposal{.rule = rule, .added = {}, .unrepairable = {}};
  ProposalIndex index{.byAttribute = std::vector<std::uint32_t>(attributeIds(), kUnmarked),
                      .bySide = {},
                      .key = {}};
  for (const LostDependency& dependency : lost) {
    const SlotRow left = leftAttributes(dependency.entry);
    if (rule == ClosureRule::kAnyLeftAttribute && left.empty()) {
      proposal.unrepairable.push_back(dependency.entry);
      continue;
    }
    AddedSubschema& added = proposalFor(proposal, index, left);
    added.attributes.insert(added.attributes.end(), dependency.missing.begin(),
                            dependency.missing.end());
    added.restores.push_back(dependency.entry);
  }
  std::vector<std::uint32_t> mark(attributeIds(), kUnmarked);
  for (std::size_t p = 0; p < proposal.added.size(); ++p) {
    dropRepeats(proposal.added[p].attributes, mark, static_cast<std::uint32_t>(p));
  }
  proposal.added = mergeContained(std::move(proposal.added), budget);
  return proposal;
}

DecompositionMark appendSubschemas(std::span<const AddedSubschema> added) {
  SlotTable& rows = state.decomposition.rows;
  const DecompositionMark mark{.slots = rows.slots.size(),
                               .rowEnds = rows.rowEnds.size(),
                               .wrapRows = rows.wrapRows.size(),
                               .schemaCount = state.schemaCount};
  for (const AddedSubschema& subschema : added) {
    rows.slots.insert(rows.slots.end(), subschema.attributes.begin(), subschema.attributes.end());
    recordRowEnd(rows, rows.slots.size());
    ++state.schemaCount;
  }
  return mark;
}

void removeAppendedSubschemas(const DecompositionMark& mark) {
  SlotTable& rows = state.decomposition.rows;
  rows.slots.resize(mark.slots);
  rows.rowEnds.resize(mark.rowEnds);
  rows.wrapRows.resize(mark.wrapRows);
  state.schemaCount = mark.schemaCount;
}

std::vector<std::size_t> entriesLostWith(std::span<const AddedSubschema> added) {
  const DecompositionMark mark = appendSubschemas(added);
  DependencyAnswers answers = answerDependencies(AnswerScope::kEveryDependency);
  removeAppendedSubschemas(mark);
  return std::move(answers.failedEntries);
}

bool restoresUnderAnyRule(const RepairProposal& proposal) {
  if (!proposal.unrepairable.empty()) {
    return entriesLostWith(proposal.added) == proposal.unrepairable;
  }
  // Nothing is to stay lost: whether every entry is preserved is all there is to ask.
  const DecompositionMark mark = appendSubschemas(proposal.added);
  const bool preserving = everyDependencyPreserved(answerDependencies(AnswerScope::kVerdict));
  removeAppendedSubschemas(mark);
  return preserving;
}

}  // namespace fdpreserve
