#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "explain/report_sink.h"
#include "model/name_pool.h"

namespace fdpreserve::explain {

/// Writes names as the JSON report has them, each serialised once for the whole report.
struct NamesWriter {
  std::function<void(std::span<const AttributeId>)> list;  ///< an array of names
  std::function<void(AttributeId)> one;                    ///< one name, a string
};

/// Writes an array of the lines `lineOf` gives for `items`, in their order.
void putLineNumbers(ReportSink& sink, std::span<const std::size_t> items,
                    std::uint64_t (*lineOf)(std::size_t));

}  // namespace fdpreserve::explain
