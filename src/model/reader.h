#pragma once

#include <cstddef>

#include "model/dependency_pieces.h"

namespace fdpreserve {

/// Reads the first section of `state.inputFile`, one subschema a line, up to its first empty line,
/// into `state.decomposition`, and counts the rows in `state.schemaCount`. Sets both counts to 0
/// first. When the file ends inside this section, the section ends there.
void readDecomposition();

/// Reads every line after that, one dependency a read, into `state.dependencies`, and counts the
/// reads in `state.dependencyCount`. Each read yields an entry, so a final line feed yields one
/// all-empty entry more.
void readDependencies();

/// Reads the dependency lines as `readDependencies` does, in pieces of about `pieceBytes` bytes
/// that two threads can read at once: this cuts them, `readFrontPiece` and `readBackPiece` read
/// them, and `joinDependencyLines`, once every piece is read, joins them to the tables.
void cutDependencyLines(DependencyPieces& pieces, std::size_t pieceBytes);

/// Ends what `cutDependencyLines` began, once every piece is read.
void joinDependencyLines(DependencyPieces& pieces);

}  // namespace fdpreserve
