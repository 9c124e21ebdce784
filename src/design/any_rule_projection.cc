#include "design/any_rule_projection.h"

#include <algorithm>

#include "analysis/digraph.h"
#include "analysis/step_graph.h"
#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

/// Rows of bits, one row a group of attributes.
struct BitRows {
  std::size_t words = 0;
  std::vector<std::uint64_t> bits;
};

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
  source.componentOf = std::move(steps.componentOf);
  source.index = buildReachIndex(std::move(steps.between));
  source.groupMark.assign(nodeCount(source.index.between), 0);
  source.groupOf.assign(nodeCount(source.index.between), 0);
  source.built = true;
}

bool projectAnyRule(ReachSource& source, std::span<const AttributeId> attributes,
                    DependencySet& projected, WorkBudget& budget) {
  // Attributes in one component reach one another: a group. Groups in order of first place.
  const RowIndex run = nextMark(source.run, {&source.groupMark});
  std::vector<NodeId> groupComponent;
  std::vector<std::vector<AttributeId>> members;
  if (!spend(budget, attributes.size())) return false;
  for (std::size_t p = 0; p < attributes.size(); ++p) {
    const NodeId component = source.componentOf[attributes[p]];
    if (source.groupMark[component] != run) {
      source.groupMark[component] = run;
      source.groupOf[component] = static_cast<RowIndex>(groupComponent.size());
      groupComponent.push_back(component);
      members.emplace_back();
    }
    members[source.groupOf[component]].push_back(static_cast<AttributeId>(p));
  }
  const std::size_t groups = groupComponent.size();
  if (!spend(budget, groups * groups * (1 + groups / 64))) return false;
  BitRows reach{.words = (groups + 63) / 64, .bits = {}};
  reach.bits.assign(groups * reach.words, 0);
  BitRows reachedBy = reach;
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
  projected =
      DependencySet{.attributes = attributes.size(), .leftEnds = {}, .lefts = {}, .rights = {}};
  for (const auto& group : members) {
    for (std::size_t k = 0; group.size() > 1 && k < group.size(); ++k) {
      addDependency(projected, std::span<const AttributeId>(&group[k], 1),
                    group[(k + 1) % group.size()]);
    }
  }
  for (std::size_t i = 0; i < groups; ++i) {
    for (std::size_t j = 0; j < groups; ++j) {
      if (!bitAt(reach, i, j) || throughAThird(reach, reachedBy, i, j)) continue;
      addDependency(projected, std::span<const AttributeId>(&members[i][0], 1), members[j][0]);
    }
  }
  return true;
}

}  // namespace fdpreserve
