#include "platform/input_file.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/text_mode.h"

#ifdef _WIN32
#include <io.h>
#define FDPRESERVE_OPEN_READ_FLAGS (_O_RDONLY | _O_BINARY | _O_NOINHERIT)
using ReadCount = int;
#else
#include <sys/stat.h>
#include <unistd.h>
#define FDPRESERVE_OPEN_READ_FLAGS (O_RDONLY | O_CLOEXEC)
using ReadCount = ssize_t;
#endif

namespace fdpreserve {
namespace {

/// Reads the descriptor to its end into `bytes`; false on a read error (EISDIR for a folder).
bool readAll(int descriptor, std::string& bytes) {
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  std::size_t room = kChunk;
#ifndef _WIN32
  // A regular file gets room for its size and one byte more, the byte that shows the end was
  // reached: a file of gigabytes is read into one block of its own size, never into twice that.
  struct stat info {};
  if (fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    room = static_cast<std::size_t>(info.st_size) + 1;
  }
#endif
  bytes.resize(room);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(used + kChunk);  // a pipe, or a file that grew
    const std::size_t wanted = std::min(bytes.size() - used, kChunk);
    const ReadCount got = ::read(descriptor, bytes.data() + used, static_cast<unsigned>(wanted));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  bytes.resize(used);
  return true;
}

}  // namespace

void openInput(InputFile& file, const std::string& path) {
  closeInput(file);
  const int descriptor = ::open(path.c_str(), FDPRESERVE_OPEN_READ_FLAGS);
  if (descriptor < 0) {
    file.failMark = true;
    return;
  }
  std::string bytes;
  const bool complete = readAll(descriptor, bytes);
  ::close(descriptor);
  if (!complete) {
    file.failMark = true;
    return;
  }
  openInputFromBytes(file, std::move(bytes));
}

void openInputFromBytes(InputFile& file, std::string bytes) {
  toTextMode(bytes);
  file.content = std::move(bytes);
  file.isOpen = true;
  reopenInput(file);
}

void reopenInput(InputFile& file) {
  file.position = 0;
  file.eofMark = false;
  file.failMark = !file.isOpen;
}

void closeInput(InputFile& file) {
  std::string().swap(file.content);  // give the memory back, not just the length
  file.position = 0;
  file.isOpen = false;
  file.eofMark = false;
  file.failMark = false;
}

}  // namespace fdpreserve
