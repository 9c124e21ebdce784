#pragma once

namespace fdpreserve {

/// Reads the first section of `state.inputFile`, one subschema a line, up to its first empty line,
/// into `state.decomposition`, and counts the rows in `state.schemaCount`. Sets both counts to 0
/// first. When the file ends inside this section, the section ends there.
void readDecomposition();

/// Reads every line after that, one dependency a read, into `state.dependencies`, and counts the
/// reads in `state.dependencyCount`. Each read yields an entry, so a final line feed yields one
/// all-empty entry more.
void readDependencies();

}  // namespace fdpreserve
