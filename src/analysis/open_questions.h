#pragma once

#include "analysis/settling.h"

namespace fdpreserve {

/// Answers the open items of `questions`: one whose dependency's left side does not reach its
/// attribute in the grow graph becomes lacking. The grow graph is never built edge by edge: the
/// links of each subschema stand for the reach within it.
/// `steps` holds the steps of every dependency, gathered while they were settled.
void answerOpenQuestions(Questions& questions, const StepMatrix& steps);

}  // namespace fdpreserve
