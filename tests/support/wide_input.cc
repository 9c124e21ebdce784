#include "support/wide_input.h"

#include <algorithm>
#include <vector>

namespace fdpreserve::testing {
namespace {

std::string name(char rail, int i) {
  return rail + std::to_string(i);
}

/// The subschema lines, the empty line, and the dependencies in the order given.
std::string input(const std::vector<std::string>& subschemas,
                  const std::vector<std::string>& dependencies) {
  std::string text;
  for (const std::string& row : subschemas) text += row + "\n";
  text += "\n";
  for (const std::string& dependency : dependencies) text += dependency + "\n";
  return text;
}

}  // namespace

std::string WideInput::make() {
  switch (pick(3)) {
    case 0:
      return parts();
    case 1:
      return ladder();
    default:
      return brokenChain();
  }
}

/// Parts of consecutive names, each sharing its last name with the next one's first; inside
/// each, one or two steps a name to names a little ahead, now and then one back; then questions
/// from a part to a later one, or back.
std::string WideInput::parts() {
  const int count = 2 + pick(2);
  const int stride = 3 + pick(5);
  const int names = count * stride + 1;
  std::vector<std::string> rows;
  std::vector<std::string> dependencies;
  for (int p = 0; p < count; ++p) {
    std::string row = name('A', p * stride);
    for (int i = p * stride + 1; i <= (p + 1) * stride; ++i) row += "," + name('A', i);
    rows.push_back(row);
    for (int i = p * stride; i < (p + 1) * stride; ++i) {
      for (int e = 1 + pick(2); e > 0; --e) {
        const int ahead = std::min(1 + pick(4), (p + 1) * stride - i);
        dependencies.push_back(name('A', i) + "->" + name('A', i + ahead));
      }
      if (pick(8) == 0) dependencies.push_back(name('A', i + 1) + "->" + name('A', i));
    }
  }
  for (int c = 1 + pick(4); c > 0; --c) {
    const int x = pick(names);
    const int y = pick(names);
    dependencies.push_back(name('A', x) + "->" + name('A', y));
  }
  std::shuffle(dependencies.begin(), dependencies.end(), random_);
  if (pick(2) == 0) std::reverse(rows.begin(), rows.end());
  return input(rows, dependencies);
}

/// Two rails with their steps, rungs one way or the other, cut into windows of both rails that
/// overlap, and questions across windows.
std::string WideInput::ladder() {
  const int rungs = 4 + pick(5);
  const int width = 2 + pick(3);
  const int stride = 1 + pick(width - 1);
  std::vector<std::string> rows;
  for (int start = 0;; start += stride) {
    const int end = std::min(start + width, rungs);
    std::string row;
    for (int i = start; i < end; ++i) {
      row += (i > start ? "," : "") + name('A', i) + "," + name('B', i);
    }
    rows.push_back(row);
    if (end == rungs) break;
  }
  std::vector<std::string> dependencies;
  const bool bothWays = pick(2) == 0;
  for (int i = 0; i < rungs; ++i) {
    if (pick(10) != 0) {
      const bool back = bothWays && i % 2 == 1;
      dependencies.push_back(back ? name('B', i) + "->" + name('A', i)
                                  : name('A', i) + "->" + name('B', i));
    }
    if (i + 1 < rungs) {
      dependencies.push_back(name('A', i) + "->" + name('A', i + 1));
      dependencies.push_back(name('B', i) + "->" + name('B', i + 1));
    }
  }
  for (int q = 1 + pick(4); q > 0; --q) {
    const int x = pick(rungs);
    const int y = pick(rungs);
    const bool down = pick(2) == 0;
    dependencies.push_back(name(down ? 'A' : 'B', x) + "->" + name(down ? 'B' : 'A', y));
  }
  std::shuffle(dependencies.begin(), dependencies.end(), random_);
  return input(rows, dependencies);
}

/// A chain of pairs, the last pair first, with one pair and its step gone, and the question from
/// the first name to the last; now and then a jump over the gap, or the pair left in place.
std::string WideInput::brokenChain() {
  const int names = 4 + pick(12);
  const int gap = 1 + pick(names - 3);
  const bool pairGoes = pick(4) != 0;
  std::vector<std::string> rows;
  std::vector<std::string> dependencies;
  for (int i = names - 2; i >= 0; --i) {
    if (i != gap || !pairGoes) rows.push_back(name('A', i) + "," + name('A', i + 1));
    if (i != gap) dependencies.push_back(name('A', i) + "->" + name('A', i + 1));
  }
  if (pick(3) == 0) {
    const int from = pick(gap + 1);
    dependencies.push_back(name('A', from) + "->" + name('A', gap + 1 + pick(names - gap - 1)));
  }
  std::shuffle(dependencies.begin(), dependencies.end(), random_);
  dependencies.push_back(name('A', 0) + "->" + name('A', names - 1));
  return input(rows, dependencies);
}

}  // namespace fdpreserve::testing
