// The dependency lines read in pieces, in any order the two threads may take them, against one
// read line by line: the same tables, the same ids, the same marks.
#include "model/dependency_pieces.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "driver/line_reader.h"
#include "model/reader.h"
#include "support/random_input.h"
#include "support/state_fixture.h"

namespace fdpreserve::testing {
namespace {

using Names = std::vector<std::string>;

/// Everything reading the dependency lines leaves behind.
struct ReadResult {
  Names names;  ///< by id
  std::vector<AttributeId> slots;
  std::vector<std::uint32_t> rowEnds;
  bool hasInnerFreeSlots = false;
  std::int64_t dependencyCount = 0;
  std::string lastLine;
  bool eofMark = false;
  bool failMark = false;
  bool operator==(const ReadResult&) const = default;
};

/// Tells which part of two results differs. GoogleTest finds it by this name.
void PrintTo(  // NOLINT(readability-identifier-naming)
    const ReadResult& result, std::ostream* out) {
  *out << "names";
  for (const std::string& name : result.names) *out << " [" << name << "]";
  *out << "\nslots";
  for (const AttributeId id : result.slots) *out << " " << id;
  *out << "\nrow ends";
  for (const std::uint32_t end : result.rowEnds) *out << " " << end;
  *out << "\ninner free " << result.hasInnerFreeSlots << ", count " << result.dependencyCount
       << ", last line [" << result.lastLine << "], marks " << result.eofMark << result.failMark;
}

ReadResult resultNow() {
  ReadResult result;
  for (AttributeId id = 0; id < nameCount(state.attributeNames); ++id) {
    result.names.emplace_back(nameOf(state.attributeNames, id));
  }
  const SlotTable& sides = state.dependencies.sides;
  result.slots = sides.slots;
  result.rowEnds = sides.rowEnds;
  result.hasInnerFreeSlots = sides.hasInnerFreeSlots;
  result.dependencyCount = state.dependencyCount;
  result.lastLine = state.lineBuffer;
  result.eofMark = state.inputFile.eofMark;
  result.failMark = state.inputFile.failMark;
  return result;
}

/// Opens `input` and reads its subschemas.
void readSubschemas(const std::string& input) {
  resetAnalysisState();
  sizeTables(state.decomposition, state.dependencies);
  openInputFromBytes(state.inputFile, input);
  readDecomposition();
}

/// The dependency lines read the plain way: a line at a time, a side at a time, a name at a time.
ReadResult readLineByLine(const std::string& input) {
  readSubschemas(input);
  std::size_t arrow = 0;
  const auto appendSide = [](std::string_view fields) {
    SlotTable& sides = state.dependencies.sides;
    const std::size_t begin = sides.slots.size();
    for (;;) {
      const std::size_t comma = fields.find(',');
      sides.slots.push_back(internName(state.attributeNames, fields.substr(0, comma)));
      if (comma == std::string_view::npos) break;
      fields.remove_prefix(comma + 1);
    }
    while (sides.slots.size() > begin && sides.slots.back() == kFreeSlot) sides.slots.pop_back();
    for (std::size_t s = begin; s < sides.slots.size(); ++s) {
      sides.hasInnerFreeSlots = sides.hasInnerFreeSlots || sides.slots[s] == kFreeSlot;
    }
    sides.rowEnds.push_back(static_cast<std::uint32_t>(sides.slots.size()));
  };
  while (!state.inputFile.eofMark) {
    readLine();
    const std::string_view line = state.lineBuffer;
    const std::size_t minus = line.find('-');
    if (minus != std::string_view::npos) arrow = minus;
    appendSide(line.substr(0, minus));
    appendSide(arrow + 2 < line.size() ? line.substr(arrow + 2) : "");
    ++state.dependencyCount;
  }
  return resultNow();
}

enum class Order { kFrontOnly, kBackOnly, kTaking };

/// The dependency lines read in pieces of `pieceBytes`, taken in `order` on this one thread.
ReadResult readInPieces(const std::string& input, std::size_t pieceBytes, Order order) {
  readSubschemas(input);
  DependencyPieces pieces;
  cutDependencyLines(pieces, pieceBytes);
  bool front = order != Order::kBackOnly;
  for (;;) {
    const bool read = front ? readFrontPiece(pieces) : readBackPiece(pieces, std::stop_token());
    if (!read) break;
    if (order == Order::kTaking) front = !front;
  }
  joinDependencyLines(pieces);
  return resultNow();
}

/// Plain lines, which the reader takes a block at a time, mixed with every odd kind of line.
std::string mixedInput(unsigned seed) {
  std::mt19937 random(seed);
  const auto pick = [&](unsigned bound) { return static_cast<unsigned>(random() % bound); };
  const auto name = [&] {
    static const char* const kNames[] = {"a1",       "b22",           "c333", "d4444", "seven77",
                                         "eight888", "a longer name", "x-y",  "p>q",   "",
                                         " "};
    return std::string(pick(6) == 0 ? kNames[pick(11)] : kNames[pick(4)]);
  };
  const auto side = [&] {
    std::string text = name();
    for (unsigned n = pick(3); n > 0; --n) text += "," + name();
    return text;
  };
  std::string text = pick(5) == 0 ? "" : "a1,b22,seven77\nc333,eight888\n\n";
  for (unsigned line = 40 + pick(60); line > 0; --line) {
    switch (pick(12)) {
      case 0:
        text += side();  // no minus: the right side starts where the last minus stood
        break;
      case 1:
        text += side() + "-" + (pick(2) == 0 ? "" : side());  // a minus with no > after it
        break;
      case 2:
        text += RandomInput(seed + line).make();  // lines of every odd kind
        break;
      default:
        text += side() + "->" + side();
    }
    text += pick(8) == 0 ? "\r\n" : "\n";
  }
  if (pick(2) == 0) text += side() + "->" + side();  // a last line without a line feed
  if (pick(20) == 0) text.insert(pick(static_cast<unsigned>(text.size())), "\x1a");
  return text;
}

class DependencyPiecesTest : public StateTest {};

TEST_F(DependencyPiecesTest, EveryCutInEveryOrderReadsAsLineByLine) {
  for (unsigned seed = 0; seed < 400; ++seed) {
    const std::string input = mixedInput(seed);
    const ReadResult expected = readLineByLine(input);
    for (const std::size_t pieceBytes :
         {std::size_t{1}, std::size_t{9}, std::size_t{70}, std::size_t{300}, SIZE_MAX}) {
      for (const Order order : {Order::kFrontOnly, Order::kBackOnly, Order::kTaking}) {
        ASSERT_EQ(readInPieces(input, pieceBytes, order), expected)
            << "seed " << seed << ", pieces of " << pieceBytes << ", order "
            << static_cast<int>(order) << ", input:\n"
            << input;
      }
    }
  }
}

TEST_F(DependencyPiecesTest, EachLineAPieceAtTheCutsThatMatter) {
  // Every line its own piece, after enough plain lines that the block reader runs up to them.
  const std::string plain = "\n" + std::string(20, 'x') + "->y\na,b->c\nd->e,f\n";
  const std::string plainTwice = plain + plain;
  const std::vector<std::string> tails{
      "A->B\nA,C\n",         // no minus right after a cut: the arrow of the line before
      "A,B\nC\n",            // no line before has a minus: the arrow where the cut began
      "A->B\r\nC,D->E\r\n",  // CR LF
      std::string("A->B\nC->D") + '\x1a' + "E->F\n",  // 1A ends the input
      "A->B\nC->D",                                   // a last line without a line feed
      "A->B\nC->D\n",                                 // the empty entry after a final line feed
      "Longer1,Longer22->Longer333\n",                // names of eight bytes and more
      ",A->B\nA,,B->C\nA->,B\nA,->B\nA->B,\n",        // gaps and trailing commas
      "A-\nB--C\nD-,E\nF->\n-\n\n",                   // minus signs next to what ends a name
  };
  for (const std::string& tail : tails) {
    for (const std::string& input : {plainTwice + tail, "\n" + tail}) {
      const ReadResult expected = readLineByLine(input);
      for (const Order order : {Order::kFrontOnly, Order::kBackOnly, Order::kTaking}) {
        EXPECT_EQ(readInPieces(input, 1, order), expected) << input;
      }
    }
  }
}

TEST_F(DependencyPiecesTest, SubschemasThatReachTheEndLeaveNoDependency) {
  for (const char* input : {"A,B\nC", "A,B\n", ""}) {
    EXPECT_EQ(readInPieces(input, 1, Order::kTaking), readLineByLine(input)) << input;
    EXPECT_EQ(state.dependencyCount, 0);
  }
}

}  // namespace
}  // namespace fdpreserve::testing
