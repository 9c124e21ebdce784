// The notes on the traps new users fall into, word for word where the words are the point: what
// was read, and what to do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "explain/explain_runner.h"

namespace fdpreserve::testing {
namespace {

using TrapNoteTest = ExplainTest;

/// The messages of the notes of `kind`, in order.
std::vector<std::string> messagesOf(const nlohmann::json& report, const std::string& kind) {
  std::vector<std::string> messages;
  for (const auto& note : report["notes"]) {
    if (note["kind"] == kind) messages.push_back(note["message"].get<std::string>());
  }
  return messages;
}

bool holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(TrapNoteTest, EachLookalikeOfTheArrowIsNamedWithWhatTheLineBecame) {
  struct Lookalike {
    std::string line;
    std::string named;
  };
  const std::vector<Lookalike> lookalikes{
      {"A\xE2\x86\x92"
       "B",
       "the character \xE2\x86\x92 (U+2192)"},
      {"A\xE2\x87\x92"
       "B",
       "(U+21D2)"},
      {"A\xE2\x9F\xB6"
       "B",
       "(U+27F6)"},
      {"A=>B", "\"=>\" is not an arrow"},
      {"A\xE2\x80\x93>B", "(an en dash, U+2013, then >)"},
      {"A\xE2\x80\x94>B", "(an em dash, U+2014, then >)"},
      {"A\xE2\x88\x92>B", "(a minus sign, U+2212, then >)"},
      {"A>B", "a > without a minus before it"},
  };
  for (const Lookalike& l : lookalikes) {
    SCOPED_TRACE(l.line);
    const nlohmann::json report = jsonOn("in.txt", "A,B\n\n" + l.line + "\n");
    const std::vector<std::string> messages = messagesOf(report, "arrow-lookalike");
    ASSERT_EQ(messages.size(), 1U) << report.dump();
    EXPECT_TRUE(holds(messages[0], l.named)) << messages[0];
    EXPECT_TRUE(holds(messages[0], "only \"->\"")) << messages[0];
    EXPECT_TRUE(holds(messages[0], "the left side " + l.line)) << messages[0];
  }
  // An en dash as Windows-1250 writes it, in a file that is not UTF-8.
  const auto ansi = messagesOf(jsonOn("in.txt", "A,B\n\nA\x96>B\n"), "arrow-lookalike");
  ASSERT_EQ(ansi.size(), 1U);
  EXPECT_TRUE(holds(ansi[0], "the byte 96 before > (an en dash in Windows-1250")) << ansi[0];
  // In a subschema line, and never for a real arrow or a > right after the minus.
  const auto subschema = messagesOf(jsonOn("in.txt",
                                           "A\xE2\x87\x92"
                                           "B\n\nA->B\n"),
                                    "arrow-lookalike");
  ASSERT_EQ(subschema.size(), 1U);
  EXPECT_TRUE(holds(subschema[0],
                    "read as a subschema of A\xE2\x87\x92"
                    "B"))
      << subschema[0];
  EXPECT_TRUE(messagesOf(jsonOn("in.txt", "A,B\n\nA->B\nA-->B\n"), "arrow-lookalike").empty());
}

TEST_F(TrapNoteTest, AByteOrderMarkNamesTheFirstNameItSpoilsOrTheUtf16ItStandsFor) {
  const nlohmann::json utf8 = jsonOn("in.txt",
                                     "\xEF\xBB\xBF"
                                     "A,B\r\n\r\nA->B\r\n");
  const auto marks = messagesOf(utf8, "byte-order-mark");
  ASSERT_EQ(marks.size(), 1U);
  EXPECT_TRUE(holds(marks[0], "EF BB BF")) << marks[0];
  EXPECT_TRUE(holds(marks[0], "\"\\uFEFFA\"")) << marks[0];
  EXPECT_TRUE(holds(marks[0], "without BOM")) << marks[0];
  EXPECT_EQ(utf8["preserving"], false);  // as fdpreserve decides: A is not the first name
  for (const std::string mark : {"\xFF\xFE", "\xFE\xFF"}) {
    const auto utf16 =
        messagesOf(jsonOn("in.txt", mark + std::string("A\0,\0B\0", 6)), "byte-order-mark");
    ASSERT_EQ(utf16.size(), 1U);
    EXPECT_TRUE(holds(utf16[0], "UTF-16")) << utf16[0];
  }
  EXPECT_TRUE(messagesOf(jsonOn("in.txt", "A,B\n\nA->B\xEF\xBB\xBF\n"), "byte-order-mark").empty());
}

TEST_F(TrapNoteTest, ALineOfBlanksSaysWhatItBecameWhereverItStands) {
  // Where the empty line was meant, in a file that has none: every line became a subschema.
  const nlohmann::json missing = jsonOn("in.txt", "A,B\nB,C\n  \nA->C\n");
  const auto noEmpty = messagesOf(missing, "blank-separator");
  ASSERT_EQ(noEmpty.size(), 1U);
  EXPECT_TRUE(holds(noEmpty[0], "(2 bytes)")) << noEmpty[0];
  EXPECT_TRUE(holds(noEmpty[0], "every line after it")) << noEmpty[0];
  EXPECT_TRUE(holds(messagesOf(missing, "no-empty-line").at(0), "line 3 looks empty")) << missing;
  EXPECT_TRUE(messagesOf(missing, "blank-at-name-edge").empty());

  // Before the empty line, and among the dependencies.
  const nlohmann::json before = jsonOn("in.txt", "A,B\n\t\n\nA->B\n \n");
  const auto both = messagesOf(before, "blank-separator");
  ASSERT_EQ(both.size(), 2U) << before.dump();
  EXPECT_TRUE(holds(both[0], "a subschema of one name, \"\\t\"")) << both[0];
  EXPECT_TRUE(holds(both[1], "a dependency with the left side \" \"")) << both[1];
  EXPECT_TRUE(messagesOf(before, "blank-at-name-edge").empty());
}

TEST_F(TrapNoteTest, AnOutputGivenAsInputIsRecognisedByItsVerdictInEitherEncoding) {
  // What fdpreserve writes for "A,B\n\nA->B\n", and the same converted to UTF-8.
  const std::string output = "A,B\r\n\r\nA->B\r\n\r\n\r\nnem f\xFCgg\xF5s\xE9g\xF5rz\xF5";
  const auto written = messagesOf(jsonOn("out.txt", output), "verdict-line");
  ASSERT_EQ(written.size(), 1U);
  EXPECT_TRUE(holds(written[0], "\"nem f\xC3\xBCgg\xC5\x91s\xC3\xA9g\xC5\x91rz\xC5\x91\""))
      << written[0];
  EXPECT_TRUE(holds(written[0], "ISO 8859-2")) << written[0];
  const auto converted =
      messagesOf(jsonOn("out.txt", "A,B\n\nf\xC3\xBCgg\xC5\x91s\xC3\xA9g\xC5\x91rz\xC5\x91\n"),
                 "verdict-line");
  ASSERT_EQ(converted.size(), 1U);
  EXPECT_TRUE(holds(converted[0], "in UTF-8")) << converted[0];
  // A name that merely holds the verdict is no verdict line.
  EXPECT_TRUE(
      messagesOf(jsonOn("in.txt", "A,B\n\nA->f\xFCgg\xF5s\xE9g\xF5rz\xF5\n"), "verdict-line")
          .empty());
}

TEST_F(TrapNoteTest, TheEmptyEntryAfterTheFinalLineFeedIsNotedButNeitherCountedNorListed) {
  const nlohmann::json report = jsonOn("in.txt", "A,B\n\nA->B\n\nB->A\n");
  // JSON keeps every entry; those with nothing on either side say so.
  const nlohmann::json& dependencies = report["dependencies"];
  ASSERT_EQ(dependencies.size(), 4U);
  EXPECT_FALSE(dependencies[0].contains("empty"));
  EXPECT_EQ(dependencies[1]["empty"], true);
  EXPECT_EQ(dependencies[3]["empty"], true);
  const auto notes = messagesOf(report, "final-empty-entry");
  ASSERT_EQ(notes.size(), 1U);
  EXPECT_TRUE(holds(notes[0], "always preserved")) << notes[0];
  EXPECT_EQ(report["notes"].back()["line"], 6);

  const std::string text = explain({"in.txt"}).console;
  const std::string nl = reportLineEnd();
  EXPECT_TRUE(holds(text, "Read: 1 subschema, 3 dependency lines;")) << text;
  EXPECT_TRUE(holds(text, "line 4  preserved      (nothing on either side)" + nl)) << text;
  EXPECT_FALSE(holds(text, "line 6  preserved")) << text;
  EXPECT_TRUE(holds(text, "line 6  final-empty-entry: ")) << text;
  // Without a final line feed there is no such entry.
  writeFile("in.txt", "A,B\n\nA->B");
  EXPECT_TRUE(holds(explain({"in.txt"}).console, "Read: 1 subschema, 1 dependency line;"));
}

}  // namespace
}  // namespace fdpreserve::testing
