#include "analysis/dependency_answers.h"
#include "analysis/engine_limits.h"
#include "analysis/open_questions.h"
#include "analysis/settling.h"
#include "analysis/subschema_index.h"
#include "analysis/tables_in_use.h"

namespace fdpreserve {

EngineLimits engineLimits;

DependencyAnswers answerDependencies(AnswerScope scope) {
  DependencyAnswers answers;
  answers.entries = dependenciesInUse();
  StepMatrix steps = startStepMatrix();
  Questions questions;
  {
    // Only the first pass needs the index: its memory goes back before the open questions.
    const SubschemaIndex index = indexSubschemas();
    questions = settleDependencies(index, scope, steps);
  }
  // The verdict is known once one attribute is lacking for sure.
  const bool decided = scope == AnswerScope::kVerdict && questions.anyLacking;
  if (questions.anyOpen && !decided) answerOpenQuestions(questions, steps);
  std::vector<AttributeId> lacking;
  for (std::size_t q = 0; q < questions.items.size();) {
    const std::size_t entry = questions.items[q].entry;
    lacking.clear();
    for (; q < questions.items.size() && questions.items[q].entry == entry; ++q) {
      if (questions.items[q].lacking) lacking.push_back(questions.items[q].asked);
    }
    if (!lacking.empty()) recordFailure(answers, entry, lacking);
  }
  return answers;
}

}  // namespace fdpreserve
