#pragma once

#include <cstddef>

#include "model/dependency_lines.h"

namespace fdpreserve {

/// Where plain lines are read from and into.
struct PlainLineScan {
  SlotTable& sides;
  PieceNames& names;
  const char* end;          ///< the end of the lines
  const char* readableEnd;  ///< how far memory may be read
};

/// Reads the lines from `at`, the start of a line, into `scan.sides` for as long as they are
/// plain: a minus, each side of one to seven bytes a name, no empty name, and a line feed. Stops
/// at the start of the first line that is not, or at the end; returns where it stopped, and adds
/// the lines it read to `entries`. `arrowPosition` is carried as by every read.
const char* readPlainLines(const PlainLineScan& scan, const char* at, std::size_t& arrowPosition,
                           std::size_t& entries);

}  // namespace fdpreserve
