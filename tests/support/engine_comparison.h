#pragma once

#include <vector>

#include "analysis/dependency_answers.h"
#include "analysis/engine_limits.h"
#include "support/reference_preservation.h"

namespace fdpreserve::testing {

/// The engine's limits as they are, then lowered so that every way the engine has of working runs
/// on small inputs: every subschema wide and searched question by question, signatures that only
/// rule out, every side marked, steps in lists and sweeps at once; every subschema of two groups
/// linked through its own steps, with searches given free rein; subschemas of two groups worked
/// out whole, signatures exact for one subschema only, one walk for the searches and for the own
/// steps of wide subschemas, so that the later ones are searched question by question. All but
/// the first settle the dependencies on two threads.
const std::vector<EngineLimits>& engineLimitSets();

/// The engine's answers in the reference's terms: the names each entry lacks, in order.
std::vector<ReferenceAnswer> answersAsNames(const DependencyAnswers& answers);

}  // namespace fdpreserve::testing
