// The program's verdict against the straightforward passes, on many seeded random inputs: small
// alphabets so that reach matters, odd lines of every kind, and tables past their old capacities.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "analysis/chunked_preservation.h"
#include "analysis/preservation_graph.h"
#include "support/reference_preservation.h"
#include "support/state_fixture.h"
#include "support/verdicts.h"

namespace fdpreserve::testing {
namespace {

constexpr int kShards = 10;
constexpr int kInputsPerShard = 1000;

/// A subschema of 150 names of its own.
const std::string kPadding = [] {
  std::string line = "P0";
  for (int i = 1; i < 150; ++i) line += ",P" + std::to_string(i);
  return line + "\n";
}();

class RandomInput {
 public:
  explicit RandomInput(unsigned seed) : random_(seed) {}

  std::string make() {
    alphabet_ = 2 + pick(7);
    const bool large = pick(50) == 0;  // past 30 subschemas, 100 dependencies or 50 names
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

 private:
  int pick(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }

  std::string end() { return pick(8) == 0 ? "\r\n" : "\n"; }

  std::string name() {
    static const char* const kOdd[] = {"A ", " B", "a", "\xF5", "AB", "A\rB"};
    if (pick(25) == 0) return kOdd[pick(6)];
    return std::string(1, static_cast<char>('A' + pick(alphabet_)));
  }

  /// Names between commas, now and then with a gap or a trailing comma.
  std::string names(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
      if (i > 0) text += pick(15) == 0 ? ",," : ",";
      text += name();
    }
    if (pick(15) == 0) text = "," + text;
    if (pick(15) == 0) text += ",";
    return text;
  }

  std::string dependencyLine() {
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

  std::mt19937 random_;
  int alphabet_ = 2;
};

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

class DifferentialTest : public StateTest, public ::testing::WithParamInterface<int> {};

TEST_P(DifferentialTest, SameOutputAsTheStraightforwardPasses) {
  int negative = 0;
  for (int i = 0; i < kInputsPerShard; ++i) {
    const auto seed = static_cast<unsigned>(GetParam() * kInputsPerShard + i);
    const std::string input = RandomInput(seed).make();
    const std::string expected = referenceOutput(input);
    const std::string actual = runInMemory(input);
    ASSERT_EQ(actual, expected) << "seed " << seed << ", input:\n" << printable(input);
    const bool preserved = !expected.ends_with(kNotPreservingEnd);
    negative += preserved ? 0 : 1;
    // The walk in chunks, which large attribute counts take, on the same tables.
    resetAnalysisState();
    readTables(input);
    ASSERT_EQ(allDependenciesPreservedInChunks(), preserved)
        << "seed " << seed << ", in chunks, input:\n"
        << printable(input);
    if (i % 4 == 0) {
      // Names nothing else uses, first: the names that matter get ids past the first word of a
      // row of bits.
      const std::string padded = kPadding + input;
      ASSERT_EQ(runInMemory(padded), referenceOutput(padded))
          << "seed " << seed << ", padded, input:\n"
          << printable(input);
    }
  }
  // Both verdicts must be common, or the comparison proves little.
  EXPECT_GT(negative, kInputsPerShard / 10);
  EXPECT_LT(negative, kInputsPerShard * 9 / 10);
}

INSTANTIATE_TEST_SUITE_P(Seeds, DifferentialTest, ::testing::Range(0, kShards));

}  // namespace
}  // namespace fdpreserve::testing
