#include "support/random_input.h"

#include <algorithm>
#include <vector>

namespace fdpreserve::testing {

std::string RandomInput::make() {
  alphabet_ = 2 + pick(7);
  const bool large = pick(100) == 0;  // past 30 subschemas, 100 dependencies or 50 names
  std::string text;
  const int subschemas = large ? 31 + pick(10) : pick(6);
  for (int i = 0; i < subschemas; ++i) text += names(large && i == 0 ? 51 : 1 + pick(4)) + end();
  if (pick(20) != 0) text += end();  // now and then no empty line: all subschemas
  const int dependencies = large ? 101 + pick(20) : pick(7);
  for (int d = 0; d < dependencies; ++d) {
    text += dependencyLine();
    if (d + 1 < dependencies || pick(3) != 0) text += end();
  }
  if (pick(30) == 0) {
    text.insert(static_cast<std::size_t>(pick(static_cast<int>(text.size()) + 1)), "\x1a");
  }
  return text;
}

std::string RandomInput::end() {
  return pick(8) == 0 ? "\r\n" : "\n";
}

std::string RandomInput::name() {
  static const char* const kOdd[] = {"A ", " B", "a", "\xF5", "AB", "A\rB"};
  if (pick(25) == 0) return kOdd[pick(6)];
  return std::string(1, static_cast<char>('A' + pick(alphabet_)));
}

/// Names between commas, now and then with a gap or a trailing comma.
std::string RandomInput::names(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += pick(15) == 0 ? ",," : ",";
    text += name();
  }
  if (pick(15) == 0) text = "," + text;
  if (pick(15) == 0) text += ",";
  return text;
}

std::string RandomInput::dependencyLine() {
  switch (pick(20)) {
    case 0:
      return "";  // an empty entry
    case 1:
      return names(1 + pick(3));  // no arrow: the stale position decides
    case 2:
      return names(1 + pick(2)) + "-" + names(1 + pick(2));  // a minus alone
    case 3:
      return "->" + names(1 + pick(2));  // empty left side
    case 4:
      return names(1 + pick(2)) + "->";  // empty right side
    case 5:
      return names(1) + "->" + names(1) + "->" + names(1);
    default:
      return names(1 + pick(3)) + "->" + names(1 + pick(3));
  }
}

namespace {

std::string attribute(int i) {
  return "A" + std::to_string(i);
}

}  // namespace

std::string ShapedInput::subschemas(int attributes) {
  std::vector<std::string> rows;
  switch (pick(4)) {
    case 0:  // a chain of pairs
      for (int i = 0; i + 1 < attributes; ++i) {
        rows.push_back(attribute(i) + "," + attribute(i + 1));
      }
      break;
    case 1: {  // windows that share their last attribute with the next one's first
      const int width = 2 + pick(4);
      for (int first = 0; first + 1 < attributes; first += width - 1) {
        std::string row = attribute(first);
        for (int i = first + 1; i < std::min(attributes, first + width); ++i) {
          row += "," + attribute(i);
        }
        rows.push_back(row);
      }
      break;
    }
    case 2: {  // one wide subschema, now and then beside a narrow one
      std::string row = attribute(0);
      for (int i = 1; i < attributes; ++i) row += "," + attribute(i);
      rows.push_back(row);
      if (pick(2) == 0) {
        rows.push_back(attribute(pick(attributes)) + "," + attribute(pick(attributes)));
      }
      break;
    }
    default:  // pairs drawn at random
      for (int r = 0; r < attributes; ++r) {
        rows.push_back(attribute(pick(attributes)) + "," + attribute(pick(attributes)));
      }
  }
  if (pick(2) == 0) std::reverse(rows.begin(), rows.end());  // the last pair first
  if (pick(3) == 0) std::shuffle(rows.begin(), rows.end(), random_);
  std::string text;
  for (const std::string& row : rows) text += row + "\n";
  return text;
}

/// A jump ahead, a step back, a wider side, or a detour through a name no subschema holds:
/// what bends a shape.
std::string ShapedInput::extraDependency(int attributes) {
  const int x = pick(attributes);
  const int y = pick(attributes);
  switch (pick(5)) {
    case 4: {
      const std::string outside = "X" + std::to_string(pick(3));
      return attribute(x) + "->" + outside + "\n" + outside + "->" + attribute(y);
    }
    case 0:
      return attribute(std::min(x, y)) + "->" + attribute(std::max(x, y));
    case 1:
      return attribute(std::max(x, y)) + "->" + attribute(std::min(x, y));
    case 2:
      return attribute(x) + "," + attribute(pick(attributes)) + "->" + attribute(y);
    default:
      return attribute(x) + "->" + attribute(y) + "," + attribute(pick(attributes));
  }
}

std::string ShapedInput::make() {
  const int attributes = 3 + pick(10);
  std::vector<std::string> dependencies;
  const int brokenStep = pick(3) == 0 ? pick(attributes) : -1;  // now and then one step missing
  for (int i = 0; i + 1 < attributes; ++i) {
    if (i != brokenStep) dependencies.push_back(attribute(i) + "->" + attribute(i + 1));
  }
  const int extra = pick(2 * attributes);
  for (int e = 0; e < extra; ++e) dependencies.push_back(extraDependency(attributes));
  std::shuffle(dependencies.begin(), dependencies.end(), random_);
  std::string text = subschemas(attributes) + "\n";
  for (const std::string& dependency : dependencies) text += dependency + "\n";
  return text;
}

/// `count` distinct names of the first `alphabet` letters, at most all of them.
std::string DesignInput::names(int count, int alphabet) {
  std::string letters;
  for (int i = 0; i < alphabet; ++i) letters += static_cast<char>('A' + i);
  std::shuffle(letters.begin(), letters.end(), random_);
  std::string text;
  for (int i = 0; i < std::min(count, alphabet); ++i) {
    if (i > 0) text += ",";
    text += letters[static_cast<std::size_t>(i)];
  }
  return text;
}

std::string DesignInput::make() {
  const int alphabet = 3 + pick(10);
  std::string text;
  const int subschemas = 1 + pick(4);
  for (int i = 0; i < subschemas; ++i) text += names(2 + pick(11), alphabet) + "\n";
  text += "\n";
  const int dependencies = 1 + pick(2 * alphabet);
  for (int d = 0; d < dependencies; ++d) {
    const std::string left = pick(30) == 0 ? "" : names(1 + pick(3), alphabet);
    text += left + "->" + names(1 + pick(2), alphabet) + "\n";
  }
  return text;
}

std::string printable(const std::string& bytes) {
  std::string shown;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n' || (byte >= 0x20 && byte < 0x7f)) {
      shown += c;
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      shown += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 15];
    }
  }
  return shown;
}

}  // namespace fdpreserve::testing
