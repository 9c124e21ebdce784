#include "design/tableau.h"

#include <algorithm>
#include <numeric>

#include "analysis/tables_in_use.h"

namespace fdpreserve {
namespace {

/// A tableau that takes no more memory than this with every cell in place has every cell in
/// place; a larger one stores only the cells the chase touches.
constexpr std::size_t kDenseBytes = std::size_t{3} << 20;
/// Symbols a sparse tableau may hold beyond two for each attribute its subschemas hold.
constexpr std::size_t kSpareSymbols = std::size_t{1} << 14;

Symbol newSymbol(Tableau& tableau, std::size_t row, bool distinguished) {
  const auto symbol = static_cast<Symbol>(tableau.parent.size());
  tableau.parent.push_back(symbol);
  tableau.distinguished.push_back(distinguished ? 1 : 0);
  tableau.rowOf.push_back(static_cast<std::uint32_t>(row));
  if (tableau.keepsMembers) {
    tableau.nextMember.push_back(symbol);
    tableau.classSize.push_back(1);
  }
  return symbol;
}

/// Whether the tableau has every cell in place.
bool denseTableau(std::size_t columns, bool keepMembers) {
  const std::size_t bytesPerCell = keepMembers ? 13 : 5;
  return subschemasInUse() * columns <= kDenseBytes / bytesPerCell;
}

}  // namespace

std::size_t tableauRoom(std::size_t columns, bool keepMembers) {
  if (denseTableau(columns, keepMembers)) return subschemasInUse() * columns;
  return 2 * state.decomposition.rows.slots.size() + kSpareSymbols;
}

void startTableau(Tableau& tableau, std::size_t columns, bool keepMembers) {
  tableau = Tableau{};
  tableau.rows = subschemasInUse();
  tableau.columns = columns;
  tableau.keepsMembers = keepMembers;
  const std::size_t cells = tableau.rows * columns;
  tableau.dense = denseTableau(columns, keepMembers);
  tableau.symbolLimit = tableauRoom(columns, keepMembers);
  if (tableau.dense) {
    tableau.parent.resize(cells);
    std::iota(tableau.parent.begin(), tableau.parent.end(), Symbol{0});
    tableau.distinguished.assign(cells, 0);
    if (keepMembers) {
      tableau.nextMember = tableau.parent;
      tableau.classSize.assign(cells, 1);
    }
  }
  std::vector<std::uint8_t> held(columns, 0);
  for (std::size_t r = 0; r < tableau.rows; ++r) {
    for (const AttributeId a : subschemaAttributes(r)) {
      if (held[a] == 0) tableau.schema.push_back(a);
      held[a] = 1;
      if (tableau.dense) {
        tableau.distinguished[a * tableau.rows + r] = 1;
      } else if (findValue(tableau.cells, pairKey(a, static_cast<std::uint32_t>(r))) == nullptr) {
        insertValue(tableau.cells, pairKey(a, static_cast<std::uint32_t>(r)),
                    newSymbol(tableau, r, true));
      }
    }
  }
  std::sort(tableau.schema.begin(), tableau.schema.end());
}

Symbol sparseSymbol(const Tableau& tableau, std::size_t row, std::size_t column) {
  const std::uint32_t* found = findValue(
      tableau.cells, pairKey(static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(row)));
  return found == nullptr ? kNoSymbol : *found;
}

Symbol storeSymbol(Tableau& tableau, std::size_t row, std::size_t column) {
  if (tableau.parent.size() >= tableau.symbolLimit) return kNoSymbol;
  const Symbol symbol = newSymbol(tableau, row, false);
  insertValue(tableau.cells,
              pairKey(static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(row)), symbol);
  return symbol;
}

void joinClasses(Tableau& tableau, Symbol kept, Symbol joined) {
  tableau.parent[joined] = kept;
  tableau.distinguished[kept] |= tableau.distinguished[joined];
  if (tableau.keepsMembers) {
    std::swap(tableau.nextMember[kept], tableau.nextMember[joined]);  // splices the two rings
    tableau.classSize[kept] += tableau.classSize[joined];
  }
  ++tableau.merges;
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
  std::vector<std::size_t> count(tableau.rows, 0);
  if (tableau.dense) {
    for (const AttributeId c : tableau.schema) {
      for (std::size_t r = 0; r < tableau.rows; ++r) {
        if (isDistinguished(tableau, r, c)) ++count[r];
      }
    }
  } else {
    // Only stored cells can be distinguished, and no two of them are one cell.
    std::vector<std::uint8_t> inSchema(tableau.columns, 0);
    for (const AttributeId c : tableau.schema) inSchema[c] = 1;
    for (std::size_t i = 0; i < tableau.cells.keys.size(); ++i) {
      const std::uint64_t key = tableau.cells.keys[i];
      if (key == 0 || inSchema[(key >> 32U) - 1] == 0) continue;
      if (tableau.distinguished[rootOf(tableau, tableau.cells.values[i])] != 0) {
        ++count[static_cast<std::uint32_t>(key)];
      }
    }
  }
  for (std::size_t r = 0; r < tableau.rows; ++r) {
    if (count[r] == tableau.schema.size()) return r;
  }
  return tableau.rows;
}

}  // namespace fdpreserve
