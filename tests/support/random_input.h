#pragma once

#include <random>
#include <string>

namespace fdpreserve::testing {

/// Seeded random inputs for comparing the program with the straightforward passes: small
/// alphabets so that reach matters, odd lines of every kind (gaps, a minus alone, no arrow, empty
/// sides, CR LF, 1A), and now and then tables past their old capacities.
class RandomInput {
 public:
  explicit RandomInput(unsigned seed) : random_(seed) {}

  /// The next input.
  std::string make();

 private:
  int pick(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }
  std::string end();
  std::string name();
  std::string names(int count);
  std::string dependencyLine();

  std::mt19937 random_;
  int alphabet_ = 2;
};

/// Seeded random inputs of the shapes that stress the engine, drawn small: a chain of pairs
/// listed last pair first, overlapping windows, one wide subschema, pairs with far jumps; each
/// with a few dependencies that may break or bend it.
class ShapedInput {
 public:
  explicit ShapedInput(unsigned seed) : random_(seed) {}

  /// The next input.
  std::string make();

 private:
  int pick(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }
  std::string subschemas(int attributes);
  std::string extraDependency(int attributes);

  std::mt19937 random_;
};

/// Seeded random inputs for the properties of each subschema: subschemas of up to a dozen of a
/// dozen names, and dependencies with left sides of up to three, which make keys of several
/// attributes, prime attributes and every normal form common; now and then an empty left side.
class DesignInput {
 public:
  explicit DesignInput(unsigned seed) : random_(seed) {}

  /// The next input.
  std::string make();

 private:
  int pick(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }
  std::string names(int count, int alphabet);

  std::mt19937 random_;
};

/// `bytes` with every byte but a line feed and printable ASCII shown as \xHH.
std::string printable(const std::string& bytes);

}  // namespace fdpreserve::testing
