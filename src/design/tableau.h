#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "model/name_pool.h"

namespace fdpreserve {

/// A symbol of the tableau: a number into its union-find.
using Symbol = std::uint32_t;
inline constexpr Symbol kNoSymbol = ~Symbol{0};

/// The tableau of the chase over the tables in `state`: one row a subschema, one column an
/// attribute id. A cell starts as its column's distinguished symbol where its row's subschema
/// holds the column, and as a symbol of its own elsewhere; the chase equates symbols within a
/// column. Only the cells that start distinguished or were ever equated are stored, so that a
/// sparse tableau of thousands of rows and columns costs what its subschemas do.
struct Tableau {
  std::size_t rows = 0;
  std::size_t columns = 0;                  ///< every attribute id, `kFreeSlot` included
  std::vector<AttributeId> schema;          ///< the columns some subschema holds, ascending
  std::vector<Symbol> parent;               ///< union-find over the symbols
  std::vector<std::uint8_t> distinguished;  ///< per root: its class holds a distinguished symbol
  std::vector<Symbol> distinguishedSymbol;  ///< per column, or `kNoSymbol` when no row holds it
  /// The stored cells: `denseCells[column * rows + row]` while the tableau is small, else
  /// `sparseCells` keyed by column and row; a cell not stored is a symbol of its own.
  std::vector<Symbol> denseCells;
  std::unordered_map<std::uint64_t, Symbol> sparseCells;
  std::vector<std::vector<std::uint32_t>> rowsOf;  ///< per column: the rows whose cell is stored
  std::vector<std::uint64_t> changedAt;            ///< per column: when a merge last changed it
  std::uint64_t merges = 0;                        ///< merges that joined two classes, so far
  std::size_t symbolLimit = 0;                     ///< beyond it the chase gives up, for memory
};

/// Sets up the tableau of the tables in `state`, before any step.
void startTableau(Tableau& tableau);

/// The symbol stored in a cell, or `kNoSymbol` for one still of its own.
Symbol storedSymbol(const Tableau& tableau, std::size_t row, AttributeId column);

/// The symbol of a cell, stored first when it was still of its own; `kNoSymbol` when the tableau
/// already holds `symbolLimit` symbols.
Symbol symbolAt(Tableau& tableau, std::size_t row, AttributeId column);

/// The root of a symbol's class.
Symbol rootOf(Tableau& tableau, Symbol symbol);

/// Equates two symbols of column `column`; true when they were not equal yet.
bool equate(Tableau& tableau, AttributeId column, Symbol a, Symbol b);

/// Whether a cell holds a distinguished symbol.
bool isDistinguished(Tableau& tableau, std::size_t row, AttributeId column);

/// The columns of the schema in which row `row` is not distinguished, ascending.
std::vector<AttributeId> undistinguishedColumns(Tableau& tableau, std::size_t row);

/// A row distinguished in every column of the schema, or `rows` when there is none.
std::size_t fullyDistinguishedRow(Tableau& tableau);

}  // namespace fdpreserve
