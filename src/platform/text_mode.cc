#include "platform/text_mode.h"

#include <algorithm>

namespace fdpreserve {

void toTextMode(std::string& bytes) {
  constexpr char kEndOfFile = '\x1a';
  if (const auto end = bytes.find(kEndOfFile); end != std::string::npos) bytes.resize(end);

  // A lone CR, and a CR at the very end, stay: only CR LF pairs shrink to LF.
  std::size_t write = 0;
  const std::size_t size = bytes.size();
  for (std::size_t read = 0; read < size; ++read) {
    if (bytes[read] == '\r' && read + 1 < size && bytes[read + 1] == '\n') continue;
    bytes[write++] = bytes[read];
  }
  bytes.resize(write);
}

}  // namespace fdpreserve
