#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "explain/explain_options.h"

namespace fdpreserve::explain {

/// What `--repaired` makes of one input file.
struct RepairedInput {
  std::string bytes;        ///< the file with the proposed subschema lines added, or as it was
  bool preserving = false;  ///< whether `bytes` preserves its dependencies under the deciding rule
  /// Lines of `bytes` that fdpreserve still finds not preserved: empty left sides, which no
  /// subschema can make fire under this tool's rule.
  std::vector<std::uint64_t> stillLost;
  std::string error;  ///< why nothing could be made; empty when `bytes` holds the answer
};

/// Repairs the input file whose bytes are `bytes`, named `name`, under the deciding rule of
/// `options`: the file as it was when nothing is lost, otherwise with a line for each subschema
/// the repair adds, once the engine (and for the textbook rule its answers) confirms it. Leaves
/// the input's tables in `state`.
RepairedInput repairInput(std::string_view name, std::string bytes, const ExplainOptions& options);

/// The same for the file at `path`; `error` says when it cannot be read.
RepairedInput repairFile(const std::string& path, const ExplainOptions& options);

}  // namespace fdpreserve::explain
