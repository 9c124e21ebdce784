#include "platform/output_file.h"

#include <fcntl.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/text_mode.h"

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#define FDPRESERVE_OPEN_WRITE_FLAGS (_O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT)
#define FDPRESERVE_NEW_FILE_MODE (_S_IREAD | _S_IWRITE)
using WriteCount = int;
#else
#include <sys/stat.h>
#include <unistd.h>
// Truncated on the first write instead: see openOutput.
#define FDPRESERVE_OPEN_WRITE_FLAGS (O_WRONLY | O_CREAT | O_CLOEXEC)
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

constexpr std::size_t kWordBytes = sizeof(std::uint64_t);

/// Copies `text` to `to`, each line feed as a line end, and returns the bytes written. `to` has
/// room for twice the text and a word more: whole words are copied, ahead of what counts.
std::size_t convertLineFeeds(std::string_view text, char* to) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  const char* from = text.data();
  const char* const end = from + text.size();
  char* out = to;
  // A word at a time, a line end at a time: lines are short, and a search per line costs more.
  while (std::endian::native == std::endian::little &&
         static_cast<std::size_t>(end - from) >= kWordBytes) {
    std::uint64_t word = 0;
    std::memcpy(&word, from, kWordBytes);
    std::memcpy(out, &word, kWordBytes);
    const std::uint64_t lineFeeds = word ^ (kOnes * '\n');
    // The lowest byte flagged is the first line feed; flags above it may be false.
    const std::uint64_t flagged = (lineFeeds - kOnes) & ~lineFeeds & kHighBits;
    if (flagged == 0) {
      from += kWordBytes;
      out += kWordBytes;
      continue;
    }
    const auto before = static_cast<std::size_t>(std::countr_zero(flagged)) / 8;
    out += before;
    std::memcpy(out, kLineEnd.data(), kLineEnd.size());
    out += kLineEnd.size();
    from += before + 1;
  }
  for (; from != end; ++from) {
    if (*from == '\n') *out++ = '\r';
    *out++ = *from;
  }
  return static_cast<std::size_t>(out - to);
}

/// Drops the bytes the file had when it was opened.
void truncateNow(OutputFile& file) {
  file.truncateFirst = false;
#ifndef _WIN32
  int result = 0;
  do {
    result = ::ftruncate(file.descriptor, 0);
  } while (result != 0 && errno == EINTR);
  if (result != 0) file.failed = true;
#endif
}

/// Gives bytes to the system, or to the memory sink; after a failure the rest is dropped.
void handOver(OutputFile& file, std::string_view bytes) {
  if (file.memorySink != nullptr) {
    file.memorySink->append(bytes);
    return;
  }
  if (file.truncateFirst) truncateNow(file);
  if (!file.failed && !writeAll(file.descriptor, bytes)) file.failed = true;
}

/// Drops the paths of a replacement that was committed or removed.
void forgetReplacement(OutputFile& file) {
  file.replacedPath.clear();
  file.temporaryPath.clear();
}

}  // namespace

OutputFile::~OutputFile() {
  discardOutput(*this);
}

bool openOutput(OutputFile& file, const std::string& path) {
  discardOutput(file);
  file.failed = false;
  // The buffer's memory is taken before the file is created or truncated, and it never grows:
  // running out of memory cannot happen between truncating a file and writing it.
  file.pending.reserve(kFlushThreshold);
  file.descriptor = ::open(path.c_str(), FDPRESERVE_OPEN_WRITE_FLAGS, FDPRESERVE_NEW_FILE_MODE);
  file.isOpen = file.descriptor >= 0;
#ifndef _WIN32
  // Dropping the pages of a large old file takes milliseconds: the first write does it, on the
  // thread that writes the copy, while the reader gets on with the tables. Only a regular file
  // holds bytes that truncating drops.
  struct stat info {};
  file.truncateFirst = file.isOpen && ::fstat(file.descriptor, &info) == 0 &&
                       S_ISREG(info.st_mode) && info.st_size > 0;
#endif
  return file.isOpen;
}

bool openReplacement(OutputFile& file, const std::string& path) {
  discardOutput(file);
  file.failed = false;
  file.truncateFirst = false;
  file.pending.reserve(kFlushThreshold);  // before anything is created or truncated, as above
  switch (startReplacement(path, file.replacedPath, file.temporaryPath, file.descriptor)) {
    case ReplacementStart::kUnwritable:
      return false;
    case ReplacementStart::kNoNewFile:
      file.failed = true;
      break;
    case ReplacementStart::kNewFile:
    case ReplacementStart::kInPlace:
      break;
  }
  file.isOpen = true;
  return true;
}

void openOutputInMemory(OutputFile& file, std::string& sink) {
  discardOutput(file);
  file.failed = false;
  file.truncateFirst = false;
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
  if (file.memorySink != nullptr || !file.isOpen) {
    for (std::size_t lineFeed = text.find('\n'); lineFeed != std::string_view::npos;
         lineFeed = text.find('\n')) {
      writeBytes(file, text.substr(0, lineFeed));
      writeLineEnd(file);
      text.remove_prefix(lineFeed + 1);
    }
    writeBytes(file, text);
    return;
  }
  // A copy of tens of megabytes goes through here: it is converted straight into the buffer.
  while (!text.empty()) {
    if (kFlushThreshold - file.pending.size() < 2 * kWordBytes) flushOutput(file);
    const std::size_t room = kFlushThreshold - file.pending.size();
    const std::string_view part = text.substr(0, (room - kWordBytes) / 2);
    const std::size_t used = file.pending.size();
    file.pending.resize(used + 2 * part.size() + kWordBytes);
    file.pending.resize(used + convertLineFeeds(part, file.pending.data() + used));
    text.remove_prefix(part.size());
  }
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
  if (file.truncateFirst) truncateNow(file);
  flushOutput(file);
  // Renamed over the old file, a replacement must be whole even after a crash.
  if (!file.temporaryPath.empty() && !file.failed && !syncToDisk(file.descriptor)) {
    file.failed = true;
  }
  if (file.descriptor >= 0 && ::close(file.descriptor) != 0) file.failed = true;
  file.descriptor = -1;
  file.memorySink = nullptr;
  file.isOpen = false;
  return !file.failed;
}

bool commitOutput(OutputFile& file) {
  closeOutput(file);
  if (file.temporaryPath.empty()) return !file.failed;
  if (file.failed) {
    discardOutput(file);
    return false;
  }
  if (!finishReplacement(file.temporaryPath, file.replacedPath)) file.failed = true;
  forgetReplacement(file);
  return !file.failed;
}

void discardOutput(OutputFile& file) {
  closeOutput(file);
  if (!file.temporaryPath.empty()) abandonReplacement(file.temporaryPath);
  forgetReplacement(file);
}

}  // namespace fdpreserve
