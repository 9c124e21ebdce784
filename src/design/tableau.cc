#include "design/tableau.h"

#include <algorithm>
#include <utility>

#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

/// Up to this many cells, every cell has a place of its own, found without hashing.
constexpr std::size_t kDenseCells = std::size_t{1} << 22;
/// Symbols the chase may add beyond one a stored cell, whatever the input.
constexpr std::size_t kSpareSymbols = std::size_t{1} << 20;

std::uint64_t cellKey(std::size_t row, AttributeId column) {
  return std::uint64_t{column} << 32U | static_cast<std::uint32_t>(row);
}

Symbol newSymbol(Tableau& tableau, bool distinguished) {
  const auto symbol = static_cast<Symbol>(tableau.parent.size());
  tableau.parent.push_back(symbol);
  tableau.distinguished.push_back(distinguished ? 1 : 0);
  return symbol;
}

void store(Tableau& tableau, std::size_t row, AttributeId column, Symbol symbol) {
  if (!tableau.denseCells.empty()) {
    tableau.denseCells[std::size_t{column} * tableau.rows + row] = symbol;
  } else {
    tableau.sparseCells.emplace(cellKey(row, column), symbol);
  }
  tableau.rowsOf[column].push_back(static_cast<std::uint32_t>(row));
}

}  // namespace

void startTableau(Tableau& tableau) {
  tableau = Tableau{};
  tableau.rows = subschemasInUse();
  tableau.columns = attributeIds();
  tableau.distinguishedSymbol.assign(tableau.columns, kNoSymbol);
  tableau.rowsOf.resize(tableau.columns);
  tableau.changedAt.assign(tableau.columns, 0);
  const std::size_t slots = state.decomposition.rows.slots.size();
  tableau.symbolLimit = 2 * slots + kSpareSymbols;
  if (tableau.rows * tableau.columns <= kDenseCells) {
    tableau.denseCells.assign(tableau.rows * tableau.columns, kNoSymbol);
  } else {
    tableau.sparseCells.reserve(slots);
  }
  for (std::size_t r = 0; r < tableau.rows; ++r) {
    for (const AttributeId a : subschemaAttributes(r)) {
      Symbol& mine = tableau.distinguishedSymbol[a];
      if (mine == kNoSymbol) {
        mine = newSymbol(tableau, true);
        tableau.schema.push_back(a);
      } else if (storedSymbol(tableau, r, a) != kNoSymbol) {
        continue;  // the row names it twice
      }
      store(tableau, r, a, mine);
    }
  }
  std::sort(tableau.schema.begin(), tableau.schema.end());
}

Symbol storedSymbol(const Tableau& tableau, std::size_t row, AttributeId column) {
  if (!tableau.denseCells.empty())
    return tableau.denseCells[std::size_t{column} * tableau.rows + row];
  const auto found = tableau.sparseCells.find(cellKey(row, column));
  return found == tableau.sparseCells.end() ? kNoSymbol : found->second;
}

Symbol symbolAt(Tableau& tableau, std::size_t row, AttributeId column) {
  const Symbol stored = storedSymbol(tableau, row, column);
  if (stored != kNoSymbol) return stored;
  if (tableau.parent.size() >= tableau.symbolLimit) return kNoSymbol;
  const Symbol symbol = newSymbol(tableau, false);
  store(tableau, row, column, symbol);
  return symbol;
}

Symbol rootOf(Tableau& tableau, Symbol symbol) {
  std::vector<Symbol>& parent = tableau.parent;
  while (parent[symbol] != symbol) {
    parent[symbol] = parent[parent[symbol]];
    symbol = parent[symbol];
  }
  return symbol;
}

bool equate(Tableau& tableau, AttributeId column, Symbol a, Symbol b) {
  a = rootOf(tableau, a);
  b = rootOf(tableau, b);
  if (a == b) return false;
  if (a > b) std::swap(a, b);
  tableau.parent[b] = a;
  tableau.distinguished[a] |= tableau.distinguished[b];
  tableau.changedAt[column] = ++tableau.merges;
  return true;
}

bool isDistinguished(Tableau& tableau, std::size_t row, AttributeId column) {
  const Symbol symbol = storedSymbol(tableau, row, column);
  return symbol != kNoSymbol && tableau.distinguished[rootOf(tableau, symbol)] != 0;
}

std::vector<AttributeId> undistinguishedColumns(Tableau& tableau, std::size_t row) {
  std::vector<AttributeId> columns;
  for (const AttributeId c : tableau.schema) {
    if (!isDistinguished(tableau, row, c)) columns.push_back(c);
  }
  return columns;
}

std::size_t fullyDistinguishedRow(Tableau& tableau) {
  // Only stored cells can be distinguished: count them row by row, column after column.
  std::vector<std::size_t> count(tableau.rows, 0);
  for (const AttributeId c : tableau.schema) {
    const Symbol mine = rootOf(tableau, tableau.distinguishedSymbol[c]);
    for (const std::uint32_t r : tableau.rowsOf[c]) {
      if (rootOf(tableau, storedSymbol(tableau, r, c)) == mine) ++count[r];
    }
  }
  for (std::size_t r = 0; r < tableau.rows; ++r) {
    if (count[r] == tableau.schema.size()) return r;
  }
  return tableau.rows;
}

}  // namespace fdpreserve
