// Interim: the passes taken literally over attribute ids, one dependency after another. Exact, and
// slow on large inputs; the engine that answers every dependency at once replaces it.
#include <algorithm>
#include <vector>

#include "analysis/dependency_answers.h"
#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

/// Adds to `reached` what the dependencies reach from `from`, each dependency firing on any one
/// attribute of its left side.
void closeUnderDependencies(std::vector<char>& reached, std::vector<AttributeId> from) {
  while (!from.empty()) {
    const AttributeId a = from.back();
    from.pop_back();
    for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
      const SlotRow left = leftAttributes(d);
      if (std::find(left.begin(), left.end(), a) == left.end()) continue;
      for (const AttributeId r : rightAttributes(d)) {
        if (reached[r] != 0) continue;
        reached[r] = 1;
        from.push_back(r);
      }
    }
  }
}

}  // namespace

DependencyAnswers answerDependencies(AnswerScope scope) {
  DependencyAnswers answers;
  answers.entries = dependenciesInUse();
  std::vector<char> reached(attributeIds());
  std::vector<char> closure(attributeIds());
  std::vector<AttributeId> lacking;
  for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
    std::fill(reached.begin(), reached.end(), 0);
    for (const AttributeId a : leftAttributes(d)) reached[a] = 1;
    for (bool grew = true; grew;) {
      grew = false;
      for (std::size_t i = 0; i < subschemasInUse(); ++i) {
        std::fill(closure.begin(), closure.end(), 0);
        std::vector<AttributeId> shared;
        for (const AttributeId x : subschemaAttributes(i)) {
          if (reached[x] != 0 && closure[x] == 0) {
            closure[x] = 1;
            shared.push_back(x);
          }
        }
        closeUnderDependencies(closure, shared);
        for (const AttributeId x : subschemaAttributes(i)) {
          if (closure[x] != 0 && reached[x] == 0) {
            reached[x] = 1;
            grew = true;
          }
        }
      }
    }
    lacking.clear();
    for (const AttributeId y : rightAttributes(d)) {
      if (reached[y] == 0 && std::find(lacking.begin(), lacking.end(), y) == lacking.end()) {
        lacking.push_back(y);
      }
    }
    if (lacking.empty()) continue;
    recordFailure(answers, d, lacking);
    if (scope == AnswerScope::kVerdict) break;
  }
  return answers;
}

}  // namespace fdpreserve
