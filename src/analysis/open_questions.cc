#include "analysis/open_questions.h"

#include <utility>
#include <vector>

#include "analysis/context_search.h"
#include "analysis/reach_index.h"
#include "analysis/step_graph.h"
#include "analysis/subschema_links.h"
#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

/// Where the search for each open item starts: the one held left attribute of its dependency,
/// or a node of the dependency's own that leads to each of them, added to the grow graph.
struct Sources {
  std::vector<NodeId> ofItem;                    ///< for each item; unused for lacking ones
  std::vector<std::pair<NodeId, NodeId>> edges;  ///< from the nodes of their own
  std::size_t nodes = 0;                         ///< attribute ids and the nodes of their own
};

Sources sourcesOf(const Questions& questions, const SubschemaIndex& index) {
  Sources sources;
  sources.ofItem.resize(questions.items.size(), 0);
  sources.nodes = attributeIds();
  std::size_t entry = 0;
  NodeId source = 0;
  bool started = false;
  std::vector<AttributeId> held;
  for (std::size_t q = 0; q < questions.items.size(); ++q) {
    const Question& item = questions.items[q];
    if (item.lacking) continue;
    if (!started || item.entry != entry) {
      started = true;
      entry = item.entry;
      held.clear();
      for (const AttributeId x : leftAttributes(entry)) {
        if (isHeld(index, x)) held.push_back(x);
      }
      if (held.size() == 1) {
        source = held.front();
      } else {
        source = static_cast<NodeId>(sources.nodes++);
        for (const AttributeId x : held) sources.edges.emplace_back(source, x);
      }
    }
    sources.ofItem[q] = source;
  }
  return sources;
}

}  // namespace

void answerOpenQuestions(Questions& questions, const SubschemaIndex& index,
                         const StepMatrix& stepMatrix) {
  Condensation steps = condense(stepGraph(stepMatrix));
  const std::vector<NodeId> stepComponent = std::move(steps.componentOf);
  ReachIndex stepReach = buildReachIndex(std::move(steps.between));
  const SubschemaLinks links = linkSubschemas(stepComponent, stepReach);
  const Sources sources = sourcesOf(questions, index);

  Condensation grow = condense(buildDigraph(sources.nodes, [&](auto emit) {
    for (const auto& [from, to] : links.links) emit(from, to);
    for (const auto& [from, to] : sources.edges) emit(from, to);
  }));
  const std::vector<NodeId> growComponent = std::move(grow.componentOf);
  ReachIndex growReach = buildReachIndex(std::move(grow.between));

  std::vector<ReachQuestion> asked;
  std::vector<std::size_t> itemOf;
  for (std::size_t q = 0; q < questions.items.size(); ++q) {
    if (questions.items[q].lacking) continue;
    asked.push_back({growComponent[sources.ofItem[q]], growComponent[questions.items[q].asked]});
    itemOf.push_back(q);
  }
  const std::vector<std::uint64_t> answers = answerReachQuestions(growReach, asked);
  ContextSearch exact{links, stepComponent, stepReach, growComponent, growReach, index};
  for (std::size_t a = 0; a < asked.size(); ++a) {
    if (bitAt(answers, a)) continue;
    Question& item = questions.items[itemOf[a]];
    if (!links.incomplete.empty() && reachesThroughWideSubschemas(exact, item.entry, item.asked)) {
      continue;
    }
    item.lacking = true;
    questions.anyLacking = true;
  }
}

}  // namespace fdpreserve
