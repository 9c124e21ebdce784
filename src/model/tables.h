#pragma once

#include <cstddef>
#include <string_view>

#include "model/slot_table.h"

namespace fdpreserve {

/// The capacities the tables are sized to. Input within them behaves exactly as always; the tables
/// grow past them without limit but memory.
inline constexpr std::size_t kSubschemaRows = 30;
inline constexpr std::size_t kDependencyEntries = 100;
inline constexpr std::size_t kSlotsPerRow = 50;

/// The subschemas: row r holds the r-th line of the input's first section.
struct DecompositionTable {
  SlotTable rows;
};

/// The functional dependencies: entry d holds the d-th read of the input's second section.
struct DependencyTable {
  SlotTable sides;  ///< row 2d is the left side of entry d, row 2d + 1 its right side
};

/// Subschema row `row`.
inline SlotRow subschemaRow(const DecompositionTable& table, std::size_t row) {
  return rowAt(table.rows, row);
}

/// The left side (the determinant) of entry `entry`.
inline SlotRow leftSide(const DependencyTable& table, std::size_t entry) {
  return rowAt(table.sides, 2 * entry);
}

/// The right side (the dependent attributes) of entry `entry`.
inline SlotRow rightSide(const DependencyTable& table, std::size_t entry) {
  return rowAt(table.sides, 2 * entry + 1);
}

/// The attributes of subschema row `row`.
inline SlotRow subschemaAttributes(const DecompositionTable& table, std::size_t row) {
  return attributesAt(table.rows, row);
}

/// The attributes of the left side of entry `entry`.
inline SlotRow leftAttributes(const DependencyTable& table, std::size_t entry) {
  return attributesAt(table.sides, 2 * entry);
}

/// The attributes of the right side of entry `entry`.
inline SlotRow rightAttributes(const DependencyTable& table, std::size_t entry) {
  return attributesAt(table.sides, 2 * entry + 1);
}

/// Entries in the table: those it was sized to, or more once more were filled.
std::size_t entryCount(const DependencyTable& table);

/// Empties both tables and sizes them to their capacities, every slot free.
void sizeTables(DecompositionTable& decomposition, DependencyTable& dependencies);

/// Fills the next subschema row from its comma-separated fields, of which the `readableAfter`
/// bytes that follow may be read.
void appendSubschema(DecompositionTable& table, NamePool& pool, std::string_view fields,
                     std::size_t readableAfter = 0);

/// Fills the next entry from the comma-separated fields of its two sides, each followed by the
/// given number of bytes that may be read.
void appendDependency(DependencyTable& table, NamePool& pool, std::string_view leftFields,
                      std::string_view rightFields, std::size_t readableAfterLeft = 0,
                      std::size_t readableAfterRight = 0);

}  // namespace fdpreserve
