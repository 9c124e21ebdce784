#pragma once

#include <random>
#include <string>

namespace fdpreserve::testing {

/// Seeded random inputs, drawn small, in the shapes of subschemas too wide to be worked out whole
/// whose steps are not one chain: two or three parts over a random graph with questions across,
/// a ladder cut into overlapping windows with questions both ways, and a chain of pairs broken
/// once, pair and step, with a question over the gap. Under lowered limits every subschema of
/// them counts as wide.
class WideInput {
 public:
  explicit WideInput(unsigned seed) : random_(seed) {}

  /// The next input.
  std::string make();

 private:
  int pick(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }
  std::string parts();
  std::string ladder();
  std::string brokenChain();

  std::mt19937 random_;
};

}  // namespace fdpreserve::testing
