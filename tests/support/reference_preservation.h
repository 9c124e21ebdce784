#pragma once

#include <string>
#include <vector>

namespace fdpreserve::testing {

/// What the passes give one dependency entry: the attributes of its right side, each once and in
/// order, that they do not reach; empty when it is preserved.
using ReferenceAnswer = std::vector<std::string>;

/// The answer of every dependency entry in use, in input order, found the straightforward way:
/// for each one, passes of `projectedReach` until nothing changes, then each right attribute is
/// looked up. Slow, and plainly right: the yardstick for the program's own engine.
std::vector<ReferenceAnswer> answersByPasses();

/// The same under the textbook rule: each closure fires a dependency only once every attribute of
/// its left side is in, and one with an empty left side at once.
std::vector<ReferenceAnswer> textbookAnswersByPasses();

/// What the passes make of one input.
struct ReferenceRun {
  std::string output;                    ///< the whole output file
  std::vector<ReferenceAnswer> answers;  ///< as `answersByPasses` gives them
};

/// Runs the job on `input` in memory with the straightforward passes, and leaves its tables in
/// `state`.
ReferenceRun referenceRun(std::string input);

}  // namespace fdpreserve::testing
