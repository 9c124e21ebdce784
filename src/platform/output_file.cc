#include "platform/output_file.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/text_mode.h"

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#define FDPRESERVE_OPEN_WRITE_FLAGS (_O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT)
#define FDPRESERVE_NEW_FILE_MODE (_S_IREAD | _S_IWRITE)
using WriteCount = int;
#else
#include <unistd.h>
#define FDPRESERVE_OPEN_WRITE_FLAGS (O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC)
#define FDPRESERVE_NEW_FILE_MODE 0664
using WriteCount = ssize_t;
#endif

namespace fdpreserve {
namespace {

// Large enough that a big copy costs few system calls, small enough to stay out of the way.
constexpr std::size_t kFlushThreshold = std::size_t{1} << 20;

bool writeAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const WriteCount wrote = ::write(descriptor, bytes.data(), static_cast<unsigned>(bytes.size()));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return true;
}

/// Gives bytes to the system, or to the memory sink; after a failure the rest is dropped.
void handOver(OutputFile& file, std::string_view bytes) {
  if (file.memorySink != nullptr) {
    file.memorySink->append(bytes);
  } else if (!file.failed && !writeAll(file.descriptor, bytes)) {
    file.failed = true;
  }
}

}  // namespace

OutputFile::~OutputFile() {
  closeOutput(*this);
}

bool openOutput(OutputFile& file, const std::string& path) {
  closeOutput(file);
  file.failed = false;
  // The buffer's memory is taken before the file is created or truncated, and it never grows:
  // running out of memory cannot happen between truncating a file and writing it.
  file.pending.reserve(kFlushThreshold);
  file.descriptor = ::open(path.c_str(), FDPRESERVE_OPEN_WRITE_FLAGS, FDPRESERVE_NEW_FILE_MODE);
  file.isOpen = file.descriptor >= 0;
  return file.isOpen;
}

void openOutputInMemory(OutputFile& file, std::string& sink) {
  closeOutput(file);
  file.failed = false;
  file.memorySink = &sink;
  file.isOpen = true;
}

void writeBytes(OutputFile& file, std::string_view bytes) {
  if (!file.isOpen) {
    file.failed = true;
    return;
  }
  if (file.pending.size() + bytes.size() > kFlushThreshold) flushOutput(file);
  if (bytes.size() > kFlushThreshold) {
    handOver(file, bytes);  // a long line goes straight through, never copied
  } else {
    file.pending.append(bytes);
  }
}

void writeText(OutputFile& file, std::string_view text) {
  for (;;) {
    const std::size_t lineFeed = text.find('\n');
    if (lineFeed == std::string_view::npos) break;
    writeBytes(file, text.substr(0, lineFeed));
    writeLineEnd(file);
    text.remove_prefix(lineFeed + 1);
  }
  writeBytes(file, text);
}

void writeLineEnd(OutputFile& file) {
  writeBytes(file, kLineEnd);
}

void flushOutput(OutputFile& file) {
  if (file.pending.empty()) return;
  handOver(file, file.pending);
  file.pending.clear();
}

bool closeOutput(OutputFile& file) {
  if (!file.isOpen) return !file.failed;
  flushOutput(file);
  if (file.descriptor >= 0 && ::close(file.descriptor) != 0) file.failed = true;
  file.descriptor = -1;
  file.memorySink = nullptr;
  file.isOpen = false;
  return !file.failed;
}

}  // namespace fdpreserve
