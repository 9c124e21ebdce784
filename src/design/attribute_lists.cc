#include "design/attribute_lists.h"

#include <algorithm>

namespace fdpreserve {

RowIndex nextMark(RowIndex& counter, std::initializer_list<std::vector<RowIndex>*> marks) {
  if (counter == ~RowIndex{0} - 1) {
    for (auto* m : marks) std::fill(m->begin(), m->end(), 0);
    counter = 0;
  }
  return ++counter;
}

}  // namespace fdpreserve
