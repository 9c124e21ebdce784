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

/// Moves each proposal whose attributes a larger one holds into that one, largest first, so
/// that a proposal taken in is never one that takes in others.
std::vector<AddedSubschema> mergeContained(std::vector<AddedSubschema> proposals,
                                           WorkBudget& budget) {
  std::vector<std::size_t> order(proposals.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return proposals[a].attributes.size() > proposals[b].attributes.size();
  });
  std::vector<std::vector<std::size_t>> keptHolding(attributeIds());
  std::vector<std::vector<AttributeId>> sortedAttributes(proposals.size());
  std::vector<std::uint8_t> kept(proposals.size(), 0);
  for (const std::size_t p : order) {
    const std::vector<AttributeId>& mine = proposals[p].attributes;
    const AttributeId rarest = *std::min_element(mine.begin(), mine.end(), [&](auto a, auto b) {
      return keptHolding[a].size() < keptHolding[b].size();
    });
    std::size_t container = proposals.size();
    for (const std::size_t q : keptHolding[rarest]) {
      if (!spend(budget, mine.size())) break;
      const auto& theirs = sortedAttributes[q];
      if (std::all_of(mine.begin(), mine.end(), [&](AttributeId a) {
            return std::binary_search(theirs.begin(), theirs.end(), a);
          })) {
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
    sortedAttributes[p] = mine;
    std::sort(sortedAttributes[p].begin(), sortedAttributes[p].end());
    for (const AttributeId a : mine) keptHolding[a].push_back(p);
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

}  // namespace

RepairProposal proposeRepair(ClosureRule rule, std::span<const LostDependency> lost,
                             WorkBudget& budget) {
  RepairProposal proposal{.rule = rule, .added = {}, .unrepairable = {}};
  std::map<std::vector<AttributeId>, std::size_t> byLeftSide;
  for (const LostDependency& dependency : lost) {
    const SlotRow left = leftAttributes(dependency.entry);
    if (rule == ClosureRule::kAnyLeftAttribute && left.empty()) {
      proposal.unrepairable.push_back(dependency.entry);
      continue;
    }
    std::vector<AttributeId> key(left.begin(), left.end());
    std::sort(key.begin(), key.end());
    key.erase(std::unique(key.begin(), key.end()), key.end());
    const auto [found, isNew] = byLeftSide.try_emplace(std::move(key), proposal.added.size());
    if (isNew) proposal.added.push_back({.attributes = {left.begin(), left.end()}, .restores = {}});
    AddedSubschema& added = proposal.added[found->second];
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
