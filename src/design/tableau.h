#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "design/pair_map.h"
#include "model/name_pool.h"

namespace fdpreserve {

/// A symbol of the tableau: a number into its union-find.
using Symbol = std::uint32_t;
inline constexpr Symbol kNoSymbol = ~Symbol{0};

/// The tableau of the chase over the tables in `state`: one row a subschema, one column an
/// attribute id (and any nodes the chase's rules add). A cell starts as a symbol of its own, which
/// is distinguished where the row's subschema holds the column; the chase equates symbols within
/// a column. A small tableau has every cell in place, the symbol of row r in column c being
/// c * rows + r; a large one stores only the cells that start distinguished or were ever equated,
/// so that thousands of rows and columns cost what the chase touches.
struct Tableau {
  std::size_t rows = 0;
  std::size_t columns = 0;
  std::vector<AttributeId> schema;  ///< the columns some subschema holds, ascending
  bool dense = false;
  std::vector<Symbol> parent;               ///< union-find over the symbols
  std::vector<std::uint8_t> distinguished;  ///< per root: its class holds a distinguished symbol
  std::vector<std::uint32_t> rowOf;         ///< per symbol of a sparse tableau: its row
  PairMap cells;                            ///< a sparse tableau's cells: (column, row) to symbol
  /// The members of each class, kept where the chase needs them: a ring through `nextMember`,
  /// and the size at the root.
  bool keepsMembers = false;
  std::vector<Symbol> nextMember;
  std::vector<std::uint32_t> classSize;
  std::size_t symbolLimit = 0;  ///< a sparse tableau holds no more symbols, for memory
  std::uint64_t merges = 0;     ///< merges that joined two classes
};

/// How many symbols the tableau of the tables in `state` has room for with `columns` columns:
/// every cell of a small one; of a large one, a few for each attribute its subschemas hold.
std::size_t tableauRoom(std::size_t columns, bool keepMembers);

/// Sets up the tableau of the tables in `state` with `columns` columns, before any step: the
/// cells where a subschema holds the column are distinguished, and not yet equated.
void startTableau(Tableau& tableau, std::size_t columns, bool keepMembers);

/// The symbol of a cell of a sparse tableau, or `kNoSymbol` for one still of its own.
Symbol sparseSymbol(const Tableau& tableau, std::size_t row, std::size_t column);

/// The symbol of a cell, or `kNoSymbol` for one of a sparse tableau still of its own. Inline, as
/// the rest of the chase's inner loop: a chase takes millions of cells.
inline Symbol storedSymbol(const Tableau& tableau, std::size_t row, std::size_t column) {
  if (tableau.dense) return static_cast<Symbol>(column * tableau.rows + row);
  return sparseSymbol(tableau, row, column);
}

/// Stores a new symbol for a cell of a sparse tableau still of its own; `kNoSymbol` when the
/// tableau already holds `symbolLimit` symbols.
Symbol storeSymbol(Tableau& tableau, std::size_t row, std::size_t column);

/// The symbol of a cell, stored first when it was still of its own; `kNoSymbol` when a sparse
/// tableau already holds `symbolLimit` symbols.
inline Symbol symbolAt(Tableau& tableau, std::size_t row, std::size_t column) {
  const Symbol stored = storedSymbol(tableau, row, column);
  return stored != kNoSymbol ? stored : storeSymbol(tableau, row, column);
}

/// The row of a symbol.
inline std::size_t rowOfSymbol(const Tableau& tableau, Symbol symbol) {
  return tableau.dense ? symbol % tableau.rows : tableau.rowOf[symbol];
}

/// The root of a symbol's class.
inline Symbol rootOf(Tableau& tableau, Symbol symbol) {
  std::vector<Symbol>& parent = tableau.parent;
  while (parent[symbol] != symbol) {
    parent[symbol] = parent[parent[symbol]];
    symbol = parent[symbol];
  }
  return symbol;
}

/// The size of the class whose root is `root`; 1 where members are not kept.
inline std::uint32_t sizeOfClass(const Tableau& tableau, Symbol root) {
  return tableau.keepsMembers ? tableau.classSize[root] : 1;
}

/// Joins the classes of the roots `kept` and `joined` under `kept`.
void joinClasses(Tableau& tableau, Symbol kept, Symbol joined);

/// Whether a cell holds a distinguished symbol.
bool isDistinguished(Tableau& tableau, std::size_t row, AttributeId column);

/// The columns of the schema in which row `row` is not distinguished, ascending.
std::vector<AttributeId> undistinguishedColumns(Tableau& tableau, std::size_t row);

/// A row distinguished in every column of the schema, or `rows` when there is none.
std::size_t fullyDistinguishedRow(Tableau& tableau);

}  // namespace fdpreserve
