#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace fdpreserve {

/// The tables store each name once, as a small number: two slots hold the same bytes exactly when
/// they hold the same id.
using AttributeId = std::uint32_t;

/// The id of the empty name, which marks a free slot.
inline constexpr AttributeId kFreeSlot = 0;

/// Every distinct name of the input, numbered from 1 in order of first appearance.
struct NamePool {
  std::deque<std::string> names{std::string()};  ///< names[id]; a deque never moves them
  std::unordered_map<std::string_view, AttributeId> ids;
};

/// The id of `name`, adding it when new; the empty name is always `kFreeSlot`.
AttributeId internName(NamePool& pool, std::string_view name);

/// The bytes of the name with the given id.
const std::string& nameOf(const NamePool& pool, AttributeId id);

/// How many ids are in use, `kFreeSlot` included.
std::size_t nameCount(const NamePool& pool);

}  // namespace fdpreserve
