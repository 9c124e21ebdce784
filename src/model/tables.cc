#include "model/tables.h"

namespace fdpreserve {

std::size_t entryCount(const DependencyTable& table) {
  return rowCount(table.sides) / 2;
}

void sizeTables(DecompositionTable& decomposition, DependencyTable& dependencies) {
  sizeSlotTable(decomposition.rows, kSubschemaRows);
  sizeSlotTable(dependencies.sides, 2 * kDependencyEntries);
}

void appendSubschema(DecompositionTable& table, NamePool& pool, std::string_view fields,
                     std::size_t readableAfter) {
  appendRow(table.rows, pool, fields, readableAfter);
}

void appendDependency(DependencyTable& table, NamePool& pool, std::string_view leftFields,
                      std::string_view rightFields, std::size_t readableAfterLeft,
                      std::size_t readableAfterRight) {
  appendRow(table.sides, pool, leftFields, readableAfterLeft);
  appendRow(table.sides, pool, rightFields, readableAfterRight);
}

}  // namespace fdpreserve
