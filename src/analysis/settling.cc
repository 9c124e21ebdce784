#include "analysis/settling.h"

#include <algorithm>

#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

/// Whether some subschema holds `y` beside an attribute of `left`, whose signatures together
/// are `leftSignature`.
bool sharedWithLeft(const SubschemaIndex& index, SlotRow left, std::uint64_t leftSignature,
                    AttributeId y) {
  if ((leftSignature & index.signature[y]) == 0) return false;
  if (index.exactSignatures) return true;
  return std::any_of(left.begin(), left.end(),
                     [&](AttributeId x) { return shareSubschema(index, x, y); });
}

}  // namespace

Questions settleDependencies(const SubschemaIndex& index, AnswerScope scope) {
  Questions questions;
  // The entry, plus one, in which each attribute last stood on a left side or was asked for.
  std::vector<std::size_t> onLeftOf(attributeIds(), 0);
  std::vector<std::size_t> askedBy(attributeIds(), 0);
  for (std::size_t d = 0; d < dependenciesInUse(); ++d) {
    const SlotRow right = rightAttributes(d);
    if (right.empty()) continue;
    const SlotRow left = leftAttributes(d);
    std::uint64_t leftSignature = 0;
    for (const AttributeId x : left) {
      onLeftOf[x] = d + 1;
      leftSignature |= index.signature[x];
    }
    for (const AttributeId y : right) {
      if (onLeftOf[y] == d + 1 || askedBy[y] == d + 1) continue;
      askedBy[y] = d + 1;
      if (isHeld(index, y) && leftSignature != 0) {
        if (sharedWithLeft(index, left, leftSignature, y)) continue;
        questions.items.push_back({d, y, false});
        questions.anyOpen = true;
        continue;
      }
      questions.items.push_back({d, y, true});
      questions.anyLacking = true;
      if (scope == AnswerScope::kVerdict) return questions;
    }
  }
  return questions;
}

}  // namespace fdpreserve
