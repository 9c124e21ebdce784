// Each kind of note on an input made for it: the built fdexplain names the line, with the same
// kind in the JSON and in the text report, whatever the line ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "explain/explain_runner.h"

namespace fdpreserve::testing {
namespace {

struct NoteCase {
  std::string kind;
  std::string input;
  std::uint64_t line;
};

const std::vector<NoteCase> kNoteCases{
    {"blank-at-name-edge", "A,B\n\nA ->B\n", 3},
    {"names-after-gap", "A,,B\n\nA->A\n", 1},
    {"no-arrow", "A,B\n\nA->B\nAB,C\n", 4},
    {"byte-after-minus-skipped", "A,B\n\nA-B\n", 3},
    {"second-arrow", "A,B\n\nA->B->C\n", 3},
    {"arrow-in-subschema", "A,B\nA->B\n", 2},
    {"no-empty-line", "A,B\nB,C\n", 3},
    {"ctrl-z",
     "A,B\n\nA->B\n\x1A"
     "C->D",
     4},
    {"not-in-any-subschema", "A,B\n\nA->C\n", 3},
    {"empty-left-side", "A,B\n\n->B\n", 3},
    {"case-or-blank-twin", "A,B\n\na->B\n", 3},
    {"byte-order-mark",
     "\xEF\xBB\xBF"
     "A,B\n\nA->B",
     1},
    {"arrow-lookalike",
     "A,B\n\nA\xE2\x86\x92"
     "B\n",
     3},
    {"blank-separator", "A,B\n \t\nA->B\n", 2},
    {"verdict-line", "A,B\n\nA->B\n\n\nf\xFCgg\xF5s\xE9g\xF5rz\xF5", 6},
    {"final-empty-entry", "A,B\n\nA->B\n", 4},
};

std::string withCrLf(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

class NoteKindTest : public ExplainTest, public ::testing::WithParamInterface<NoteCase> {};

TEST_P(NoteKindTest, NamesTheLineMadeForIt) {
  const NoteCase& note = GetParam();
  for (const std::string& input : {note.input, withCrLf(note.input)}) {
    const nlohmann::json report = jsonOn("in.txt", input);
    std::vector<std::uint64_t> lines;
    for (const auto& n : report["notes"]) {
      if (n["kind"] == note.kind) lines.push_back(n["line"].get<std::uint64_t>());
    }
    EXPECT_EQ(lines, std::vector<std::uint64_t>{note.line}) << report.dump();

    const std::string text = explain({"in.txt"}).console;
    EXPECT_NE(text.find("line " + std::to_string(note.line) + "  " + note.kind + ": "),
              std::string::npos)
        << text;
  }
}

INSTANTIATE_TEST_SUITE_P(EachKind, NoteKindTest, ::testing::ValuesIn(kNoteCases),
                         [](const auto& testInfo) {
                           std::string name = testInfo.param.kind;
                           std::erase(name, '-');
                           return name;
                         });

using NoteWordsTest = ExplainTest;

/// The message of the one note of `kind`.
std::string messageOf(const nlohmann::json& report, const std::string& kind) {
  for (const auto& n : report["notes"]) {
    if (n["kind"] == kind) return n["message"].get<std::string>();
  }
  return "(no " + kind + " note)";
}

TEST_F(NoteWordsTest, SayWhatALineWithoutMinusBecameAndWhatTheEndOfFileByteHides) {
  // The minus of line 3 stood at byte 5, so line 4's right side starts at its byte 7.
  const nlohmann::json report = jsonOn("in.txt",
                                       "A,B\n\nA,B,->C\nPQ,RS,TU\n\x1A"
                                       "after");
  EXPECT_EQ(messageOf(report, "no-arrow"),
            "no minus: the whole line is the left side (PQ, RS, TU), and the right side was read "
            "from its byte 7 on, two after where the minus of line 3 stood (TU)");
  EXPECT_EQ(report["dependencies"][1]["left"], nlohmann::json({"PQ", "RS", "TU"}));
  EXPECT_EQ(report["dependencies"][1]["right"], nlohmann::json({"TU"}));
  EXPECT_EQ(messageOf(report, "ctrl-z"),
            "the byte 1A (Ctrl-Z) ends the input here: it and the 5 bytes after it are ignored");
}

TEST_F(NoteWordsTest, ATwinIsNamedOnceAtItsFirstLine) {
  const nlohmann::json report = jsonOn("in.txt", "Name,City\n\nname->City\nname->Name\n");
  EXPECT_EQ(messageOf(report, "case-or-blank-twin"),
            "name differs from Name (line 1) only in letter case or in blanks at its edges: they "
            "are two attributes");
  const auto twins = std::count_if(report["notes"].begin(), report["notes"].end(),
                                   [](const auto& n) { return n["kind"] == "case-or-blank-twin"; });
  EXPECT_EQ(twins, 1);
}

TEST_F(NoteWordsTest, AWellFormedFileHasNoneButTheEmptyEntryAfterItsFinalLineFeed) {
  const nlohmann::json report = jsonOn("in.txt", "A,B\nB,C\n\nA->B\nB->C\nA->C\n");
  ASSERT_EQ(report["notes"].size(), 1U) << report.dump();
  EXPECT_EQ(report["notes"][0]["kind"], "final-empty-entry");
  EXPECT_EQ(report["notes"][0]["line"], 7);
  EXPECT_EQ(jsonOn("in.txt", "A,B\nB,C\n\nA->B\nB->C\nA->C")["notes"], nlohmann::json::array());
}

}  // namespace
}  // namespace fdpreserve::testing
