#include "model/name_pool.h"

namespace fdpreserve {

AttributeId internName(NamePool& pool, std::string_view name) {
  if (name.empty()) return kFreeSlot;
  if (const auto found = pool.ids.find(name); found != pool.ids.end()) return found->second;
  const auto id = static_cast<AttributeId>(pool.names.size());
  const std::string& stored = pool.names.emplace_back(name);
  pool.ids.emplace(stored, id);
  return id;
}

const std::string& nameOf(const NamePool& pool, AttributeId id) {
  return pool.names[id];
}

std::size_t nameCount(const NamePool& pool) {
  return pool.names.size();
}

}  // namespace fdpreserve
