#pragma once

#include <cstddef>

namespace fdpreserve {

/// The sizes at which the engine changes its way of working. The answers never depend on them;
/// tests and the fuzzers lower them so that every way is taken on small inputs.
struct EngineLimits {
  /// Subschemas of up to this many attributes have the whole reach among their attributes worked
  /// out, one word of bits an attribute; wider ones are taken as a chain where they are one, and
  /// through their own steps where they are not.
  std::size_t wordSubschema = 64;
  /// Up to this many subschemas, a word of bits tells exactly which subschemas hold an attribute;
  /// past it, the word only rules pairs out, and the lists of subschemas decide.
  std::size_t exactSubschemaWord = 64;
  /// The bits of the word that subschemas share out past that: fewer make the word rule out
  /// less, and leave more to the lists.
  unsigned signatureBits = 64;
  /// Dependencies with up to this many attributes on both sides together are looked through
  /// attribute by attribute; longer ones have their attributes and subschemas marked.
  std::size_t lookedThroughSides = 16;
  /// Up to this many attribute ids, the reach steps are gathered in a matrix of bits, which drops
  /// repeated steps as they come; past it, in lists.
  std::size_t stepMatrixAttributes = 8192;
  /// Searches that the quick labels cannot settle may walk this many times the graph in all
  /// before the rest are answered 64 targets a sweep.
  std::size_t searchWalks = 8;
  /// The searches for the own steps of wide subschemas that are not one chain may walk this many
  /// times the graph of steps in all; the subschemas past that are searched question by question.
  std::size_t innerStepWalks = 16;
  /// From this many dependencies on, the first pass over them runs on two threads, each over half.
  std::size_t twoThreadSettling = std::size_t{1} << 15;
};

/// The limits in force; tests may lower them.
extern EngineLimits engineLimits;

}  // namespace fdpreserve
