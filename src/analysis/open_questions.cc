#include "analysis/open_questions.h"

#include <utility>
#include <vector>

#include "analysis/context_search.h"
#include "analysis/reach_index.h"
#include "analysis/step_graph.h"
#include "analysis/subschema_links.h"
#include "analysis/tables_in_use.h"

namespace fdpreserve {

void answerOpenQuestions(Questions& questions, const StepMatrix& stepMatrix) {
  std::vector<NodeId> stepComponent;
  ReachIndex stepReach;
  SubschemaLinks links;
  const auto firstInnerNode = static_cast<NodeId>(attributeIds() + questions.ownSources);
  {
    Condensation steps = condense(stepGraph(stepMatrix));
    stepComponent = std::move(steps.componentOf);
    stepReach = buildReachIndex(std::move(steps.between));
    links = linkSubschemas(stepComponent, stepReach, firstInnerNode);
  }
  // Only the searches question by question walk the steps again: where none will, their memory
  // goes back before the grow graph takes its own.
  if (links.incomplete.empty()) {
    stepComponent = std::vector<NodeId>();
    stepReach = ReachIndex();
  }
  Digraph growGraph = buildDigraph(firstInnerNode + links.innerNodes, [&](auto emit) {
    for (const auto& [from, to] : links.links) emit(from, to);
    for (const auto& [from, to] : questions.sourceEdges) emit(from, to);
  });
  links.links = std::vector<std::pair<NodeId, NodeId>>();
  Condensation grow = condense(growGraph);
  growGraph = Digraph();
  const std::vector<NodeId> growComponent = std::move(grow.componentOf);
  ReachIndex growReach = buildReachIndex(std::move(grow.between));

  std::vector<ReachQuestion> asked;
  std::vector<std::size_t> itemOf;
  for (std::size_t q = 0; q < questions.items.size(); ++q) {
    if (questions.items[q].lacking) continue;
    asked.push_back(
        {growComponent[questions.items[q].source], growComponent[questions.items[q].asked]});
    itemOf.push_back(q);
  }
  const std::vector<std::uint64_t> answers = answerReachQuestions(growReach, asked);
  ContextSearch exact{links, stepComponent, stepReach, growComponent, growReach};
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
