#pragma once

// The textbook's notions taken literally, for subschemas of a dozen attributes: every subset's
// closure by applying the dependencies until nothing changes, keys and normal forms read off
// those closures as their definitions say. Slow, and plainly right: the yardstick for src/design,
// with which it shares no code.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/name_pool.h"

namespace fdpreserve::testing {

/// One dependency entry in use, as the tables hold it: the attributes before each side's first
/// free slot.
struct LiteralDependency {
  std::vector<AttributeId> left;
  std::vector<AttributeId> right;
};

/// When a dependency fires while a set is closed.
enum class LiteralRule : std::uint8_t {
  kAllLeft,  ///< the textbook: once all of its left side is in; an empty left side at once
  kAnyLeft,  ///< this tool: once any one left attribute is in; an empty left side never
};

/// Every dependency entry in use in `state`, in order.
std::vector<LiteralDependency> literalDependencies();

/// `start` closed under `dependencies` by `rule`, a mark for each attribute id: the dependencies
/// are applied over and over until a round adds nothing.
std::vector<bool> literalClosure(const std::vector<LiteralDependency>& dependencies,
                                 std::span<const AttributeId> start, LiteralRule rule);

/// A set of a subschema's attributes: bit p for its attribute at place p.
using Subset = std::uint32_t;

/// Every subset of a subschema with what it determines within the subschema, and its keys.
struct SubsetClosures {
  std::vector<AttributeId> attributes;  ///< each once, in the order the row names them: places
  std::vector<Subset> closureOf;        ///< for each subset, its closure within the subschema
  std::vector<Subset> keys;             ///< as `keysOfEverySubset` finds them
  Subset prime = 0;                     ///< the attributes of some key
};

/// The closure of every subset of the subschema with these attributes (each once), under every
/// dependency of the input, through attributes outside it too; and its keys.
SubsetClosures closuresOfEverySubset(const std::vector<AttributeId>& attributes,
                                     const std::vector<LiteralDependency>& dependencies,
                                     LiteralRule rule);

/// The closure within the subschema of `subset` under dependencies over places, `lefts[i]` ->
/// `rights[i]`, applied until nothing changes.
Subset closureOverPlaces(const std::vector<Subset>& lefts, const std::vector<unsigned>& rights,
                         Subset subset);

/// The candidate keys: the subsets whose closure is everything and none of whose subsets' is,
/// ascending as numbers.
std::vector<Subset> keysOfEverySubset(const SubsetClosures& closures);

/// A normal form, the weakest first, as the literal checks number them.
enum class LiteralForm : std::uint8_t { kFirst, kSecond, kThird, kBoyceCodd };

/// Whether `left -> right` (a place) holds and breaks the form above `form`: BCNF when `form`
/// is 3NF (its left side is no superkey), 3NF when it is 2NF (nor is its right attribute prime),
/// 2NF when it is 1NF (its left side is part of a key, its right attribute not prime).
bool breaksFormAbove(const SubsetClosures& closures, LiteralForm form, Subset left, unsigned right);

/// The normal form from the definitions, over every dependency that holds on the subschema.
LiteralForm normalFormOfEverySubset(const SubsetClosures& closures);

/// An input whose first subschema holds `pairs` pairs Ai, Bi that determine each other, which make
/// 2^pairs keys, and whose second holds the first pair alone.
std::string pairsThatDetermineEachOther(int pairs);

}  // namespace fdpreserve::testing
