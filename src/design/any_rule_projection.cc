#include "design/any_rule_projection.h"

#include <algorithm>

#include "analysis/digraph.h"
#include "analysis/step_graph.h"
#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

bool bitAt(const BitRows& rows, std::size_t row, std::size_t column) {
  return ((rows.bits[row * rows.words + column / 64] >> (column % 64)) & 1U) != 0;
}

void setBit(BitRows& rows, std::size_t row, std::size_t column) {
  rows.bits[row * rows.words + column / 64] |= std::uint64_t{1} << (column % 64);
}

/// Whether some group other than `from` and `to` lies on a way from one to the other.
bool throughAThird(const BitRows& reach, const BitRows& reachedBy, std::size_t from,
                   std::size_t to) {
  for (std::size_t w = 0; w < reach.words; ++w) {
    std::uint64_t between =
        reach.bits[from * reach.words + w] & reachedBy.bits[to * reach.words + w];
    if (w == from / 64) between &= ~(std::uint64_t{1} << (from % 64));
    if (w == to / 64) between &= ~(std::uint64_t{1} << (to % 64));
    if (between != 0) return true;
  }
  return false;
}

}  // namespace

bool rulesFireAlike() {
  for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
    const SlotRow left = leftAttributes(d);
    if (left.empty()
            ? !rightAttributes(d).empty()
            : std::any_of(left.begin(), left.end(), [&](AttributeId a) { return a != left[0]; })) {
      return false;
    }
  }
  return true;
}

void prepareReachSource(ReachSource& source) {
  if (source.built) return;
  StepMatrix matrix = startStepMatrix();
  forEachDependency([&](std::size_t d, SlotRow left, SlotRow right) {
    gatherSteps(matrix, d, left, right);
    return true;
  });
  Condensation steps = condense(stepGraph(matrix));
  takeReachSource(source, std::move(steps.componentOf), buildReachIndex(std::move(steps.between)));
}

void takeReachSource(ReachSource& source, std::vector<NodeId> componentOf, ReachIndex index) {
  source.componentOf = std::move(componentOf);
  source.index = std::move(index);
  source.groupMark.assign(nodeCount(source.index.between), 0);
  source.groupOf.assign(nodeCount(source.index.between), 0);
  source.built = true;
}

bool projectAnyRule(ReachSource& source, std::span<const AttributeId> attributes,
                    DependencySet& projected, WorkBudget& budget) {
  // Attributes in one component reach one another: a group. Groups in order of first place.
  const RowIndex run = nextMark(source.run, {&source.groupMark});
  std::vector<NodeId>& groupComponent = source.groupComponent;
  std::vector<RowIndex>& groupOfPlace = source.groupOfPlace;
  groupComponent.clear();
  groupOfPlace.clear();
  if (!spend(budget, attributes.size())) return false;
  for (const AttributeId a : attributes) {
    const NodeId component = source.componentOf[a];
    if (source.groupMark[component] != run) {
      source.groupMark[component] = run;
      source.groupOf[component] = static_cast<RowIndex>(groupComponent.size());
      groupComponent.push_back(component);
    }
    groupOfPlace.push_back(source.groupOf[component]);
  }
  const std::size_t groups = groupComponent.size();
  if (!spend(budget, groups * groups * (1 + groups / 64))) return false;
  BitRows& reach = source.reach;
  BitRows& reachedBy = source.reachedBy;
  reach.words = reachedBy.words = (groups + 63) / 64;
  reach.bits.assign(groups * reach.words, 0);
  reachedBy.bits.assign(groups * reach.words, 0);
  for (std::size_t i = 0; i < groups; ++i) {
    for (std::size_t j = 0; j < groups; ++j) {
      const std::size_t walkedBefore = source.index.walked;
      if (i != j && reaches(source.index, groupComponent[i], groupComponent[j])) {
        setBit(reach, i, j);
        setBit(reachedBy, j, i);
      }
      if (!spend(budget, source.index.walked - walkedBefore)) return false;
    }
  }
  clearDependencies(projected, attributes.size());
  // Each group of several as a cycle in order of place: from each to the next one of its group,
  // the last back to the first. `firstOf` holds each group's first place, then its latest.
  std::vector<AttributeId>& firstOf = source.firstOfGroup;
  std::vector<AttributeId>& latestOf = source.latestOfGroup;
  firstOf.assign(groups, kNoTarget);
  latestOf.assign(groups, kNoTarget);
  for (AttributeId p = 0; p < attributes.size(); ++p) {
    const RowIndex g = groupOfPlace[p];
    if (firstOf[g] == kNoTarget) firstOf[g] = p;
    if (latestOf[g] != kNoTarget) addDependency(projected, std::span(&latestOf[g], 1), p);
    latestOf[g] = p;
  }
  for (std::size_t g = 0; g < groups; ++g) {
    if (latestOf[g] != firstOf[g]) addDependency(projected, std::span(&latestOf[g], 1), firstOf[g]);
  }
  for (std::size_t i = 0; i < groups; ++i) {
    for (std::size_t j = 0; j < groups; ++j) {
      if (!bitAt(reach, i, j) || throughAThird(reach, reachedBy, i, j)) continue;
      addDependency(projected, std::span(&firstOf[i], 1), firstOf[j]);
    }
  }
  return true;
}

}  // namespace fdpreserve
