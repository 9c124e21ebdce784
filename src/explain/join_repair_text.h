#pragma once

#include <string>

#include "explain/join_repair_answers.h"
#include "explain/text_parts.h"

namespace fdpreserve::explain {

/// The line beside the verdicts that says whether the join is lossless under each rule.
std::string joinHeaderLine(const TextContext& text, const JoinAnswers& join);

/// The sections on the repair and on the lossless join: the lines to add, what each restores and
/// whether the check passed; each rule's verdict of the chase, and where the deciding rule finds
/// the join lossy, the final tableau, with `--all` the chase's steps.
void writeJoinRepairSections(TextContext& text, const JoinRepairAnswers& design);

}  // namespace fdpreserve::explain
