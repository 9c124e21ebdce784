#include "platform/console.h"

#include <cerrno>
#include <string>

#include "platform/text_mode.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
using WriteCount = int;
#else
#include <unistd.h>

#include <csignal>
using WriteCount = ssize_t;
#endif

namespace fdpreserve {
namespace {

std::string* consoleSink = nullptr;

}  // namespace

bool writeStandardOutput(std::string_view bytes) {
#ifdef _WIN32
  // Line ends are written as they are to arrive: the runtime must not add a second CR.
  static const int binaryMode = _setmode(1, _O_BINARY);
  (void)binaryMode;
#endif
  while (!bytes.empty()) {
    const WriteCount wrote = ::write(1, bytes.data(), static_cast<unsigned>(bytes.size()));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return true;
}

void writeConsole(std::string_view bytes) {
  if (consoleSink != nullptr) {
    consoleSink->append(bytes);
  } else {
    (void)writeStandardOutput(bytes);  // a closed console has nobody left to tell
  }
}

void writeConsoleLine(std::string_view text) {
  // Two writes rather than one joined string: the out-of-memory message must not need memory.
  writeConsole(text);
  writeConsole(kLineEnd);
}

void failWritesInsteadOfSignals() {
#ifndef _WIN32
  // Ignoring a signal cannot fail for these two; the previous handlers were the defaults.
  (void)std::signal(SIGPIPE, SIG_IGN);
  (void)std::signal(SIGXFSZ, SIG_IGN);
#endif
}

void redirectConsole(std::string* sink) {
  consoleSink = sink;
}

}  // namespace fdpreserve
