#include "explain/json_parts.h"

#include <string>

namespace fdpreserve::explain {

void putLineNumbers(ReportSink& sink, std::span<const std::size_t> items,
                    std::uint64_t (*lineOf)(std::size_t)) {
  put(sink, "[");
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) put(sink, ",");
    put(sink, std::to_string(lineOf(items[i])));
  }
  put(sink, "]");
}

}  // namespace fdpreserve::explain
