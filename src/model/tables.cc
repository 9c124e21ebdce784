#include "model/tables.h"

namespace fdpreserve {

std::size_t entryCount(const DependencyTable& table) {
  return rowCount(table.sides) / 2;
}

void sizeTables(DecompositionTable& decomposition, DependencyTable& dependencies) {
  sizeSlotTable(decomposition.rows, kSubschemaRows);
  sizeSlotTable(dependencies.sides, 2 * kDependencyEntries);
}

void appendSubschema(DecompositionTable& table, NamePool& pool, std::string_view fields) {
  appendRow(table.rows, pool, fields);
}

void appendDependency(DependencyTable& table, NamePool& pool, std::string_view leftFields,
                      std::string_view rightFields) {
  appendRow(table.sides, pool, leftFields);
  appendRow(table.sides, pool, rightFields);
}

}  // namespace fdpreserve
