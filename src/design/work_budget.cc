#include "design/work_budget.h"

namespace fdpreserve {

bool spend(WorkBudget& budget, std::uint64_t units) {
  budget.left = budget.left > units ? budget.left - units : 0;
  return budget.left > 0;
}

}  // namespace fdpreserve
