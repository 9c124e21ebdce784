#include "platform/wildcard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace fdpreserve::testing {
namespace {

class WildcardTest : public TempDirTest {
 protected:
  std::vector<std::string> expand(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size());
    for (std::string& argument : arguments) argv.push_back(argument.data());
    return expandArguments(static_cast<int>(argv.size()), argv.data());
  }
  std::string in(const char* name) const { return path(name).string(); }
};

TEST_F(WildcardTest, MatchesReplaceThePatternSortedByBytes) {
  for (const char* name : {"b.txt", "a.txt", "B.txt", "c.dat"}) writeFile(name, "");
  EXPECT_EQ(expand({"prog", in("*.txt"), "out"}),
            (std::vector<std::string>{"prog", in("B.txt"), in("a.txt"), in("b.txt"), "out"}));
  EXPECT_EQ(expand({"prog", in("?.dat")}), (std::vector<std::string>{"prog", in("c.dat")}));
}

TEST_F(WildcardTest, NoMatchOrNoWildcardStaysAsTyped) {
  writeFile("a.txt", "");
  EXPECT_EQ(expand({"prog", in("*.none"), in("a.txt")}),
            (std::vector<std::string>{"prog", in("*.none"), in("a.txt")}));
}

TEST_F(WildcardTest, BracketsAndBackslashesAreOrdinary) {
  writeFile("[x].txt", "");
  writeFile("x.txt", "");
  writeFile("a\\b.txt", "");
  EXPECT_EQ(expand({"prog", in("[x]*")}), (std::vector<std::string>{"prog", in("[x].txt")}));
  EXPECT_EQ(expand({"prog", in("a\\?.txt")}), (std::vector<std::string>{"prog", in("a\\b.txt")}));
}

TEST_F(WildcardTest, TheProgramNameIsNeverExpanded) {
  writeFile("p1", "");
  EXPECT_EQ(expand({in("p*")}), (std::vector<std::string>{in("p*")}));
}

}  // namespace
}  // namespace fdpreserve::testing
