#pragma once

#include <string>
#include <vector>

namespace fdpreserve::testing {

/// The final tableau of the chase on the tables in `state`, worked out literally.
struct ReferenceTableau {
  bool lossless = false;
  std::vector<std::string> schema;  ///< the columns some subschema holds, by name, sorted
  /// Per subschema row, in order: the columns of `schema` in which it is not distinguished.
  std::vector<std::vector<std::string>> undistinguished;
};

/// The chase as the textbooks draw it: a matrix of symbols, one row a subschema and one column
/// a name that a subschema or a dependency side holds; every row distinguished where its
/// subschema holds the column, a symbol of its own elsewhere. Passes over the dependencies, each
/// comparing every two rows, until one changes nothing: rows that agree on a left attribute (this
/// tool's rule, `allLeft` false) or on all of them (`allLeft` true; an empty left side makes every
/// two rows agree) have each column of its right side made equal, by writing one symbol over the
/// other all through the column, the distinguished one winning. Slow, and plainly right.
ReferenceTableau referenceChase(bool allLeft);

}  // namespace fdpreserve::testing
