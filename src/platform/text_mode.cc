#include "platform/text_mode.h"

#include <algorithm>

namespace fdpreserve {

void toTextMode(std::string& bytes) {
  if (const auto end = bytes.find(kEndOfFile); end != std::string::npos) bytes.resize(end);

  // A lone CR, and a CR at the very end, stay: only CR LF pairs shrink to LF. The bytes between
  // CRs move in blocks, and a file without any CR is not touched.
  std::size_t read = bytes.find('\r');
  if (read == std::string::npos) return;
  std::size_t write = read;
  const std::size_t size = bytes.size();
  while (read < size) {
    const std::size_t cr = std::min(bytes.find('\r', read), size);
    // The block moves toward the front, so a forward copy never overwrites what it still reads.
    std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(read),
              bytes.begin() + static_cast<std::ptrdiff_t>(cr),
              bytes.begin() + static_cast<std::ptrdiff_t>(write));
    write += cr - read;
    if (cr == size) break;
    const bool beforeLineFeed = cr + 1 < size && bytes[cr + 1] == '\n';
    if (!beforeLineFeed) bytes[write++] = '\r';
    read = cr + 1;
  }
  bytes.resize(write);
}

}  // namespace fdpreserve
