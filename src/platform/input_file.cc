#include "platform/input_file.h"

#include <fcntl.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <utility>

#include "platform/text_mode.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>
#define FDPRESERVE_OPEN_READ_FLAGS (_O_RDONLY | _O_BINARY | _O_NOINHERIT)
using ReadCount = int;
#else
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
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

// The bytes of the latest mapping, for the bus-error handler, which may read nothing else.
std::atomic<const char*> mappedBegin{nullptr};
std::atomic<const char*> mappedEnd{nullptr};
void (*lostInputReport)() = nullptr;

void unmap(InputFile& file) {
#ifndef _WIN32
  if (file.mappedAddress != nullptr) {
    if (mappedBegin.load() == file.mappedAddress) {
      mappedBegin.store(nullptr);
      mappedEnd.store(nullptr);
    }
    ::munmap(file.mappedAddress, file.mappedSize);
  }
#endif
  file.mappedAddress = nullptr;
  file.mappedSize = 0;
}

/// Takes the content into memory of its own.
void ownContent(InputFile& file, std::string_view bytes) {
  std::string owned(bytes);
  unmap(file);
  file.ownedBytes = std::move(owned);
  file.content = file.ownedBytes;
}

/// Maps a regular, non-empty file whole. Reading it would cost a copy and a fresh page of memory
/// for every page of the file; the mapping shares the system's own cache. False when the file is
/// not mapped, and then it is read instead.
bool mapWholeFile(InputFile& file, int descriptor) {
#ifdef _WIN32
  (void)file;
  (void)descriptor;
  return false;
#else
  struct stat info {};
  if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) return false;
  int flags = MAP_PRIVATE;
#ifdef MAP_POPULATE
  flags |= MAP_POPULATE;  // every byte is read anyway: one fault for the lot, not one a page
#endif
  const auto size = static_cast<std::size_t>(info.st_size);
  void* address = ::mmap(nullptr, size, PROT_READ, flags, descriptor, 0);
  if (address == MAP_FAILED) return false;
  file.mappedAddress = address;
  file.mappedSize = size;
  mappedBegin.store(static_cast<const char*>(address));
  mappedEnd.store(static_cast<const char*>(address) + size);

  std::string_view bytes(static_cast<const char*>(address), size);
  bytes = bytes.substr(0, bytes.find(kEndOfFile));
  file.bytesAfterContent = size - bytes.size();
  file.content = bytes;
  // A mapping is never written: CR LF pairs are rare enough that they take the copy.
  if (bytes.find('\r') != std::string_view::npos) {
    ownContent(file, bytes);
    toTextMode(file.ownedBytes);
    file.content = file.ownedBytes;
  }
  return true;
#endif
}

/// Records which file the descriptor reads, when it is a file on disk that another path may name.
void identify(InputFile& file, int descriptor) {
#ifdef _WIN32
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(handle) != FILE_TYPE_DISK || GetFileInformationByHandle(handle, &info) == 0) {
    return;
  }
  file.fileDevice = info.dwVolumeSerialNumber;
  file.fileNumber = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
#else
  struct stat info {};
  if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) return;
  file.fileDevice = static_cast<std::uint64_t>(info.st_dev);
  file.fileNumber = static_cast<std::uint64_t>(info.st_ino);
#endif
  file.identified = true;
}

/// True when `path` leads to the file `identify` recorded.
bool namesFile(const InputFile& file, const std::string& path) {
#ifdef _WIN32
  // Opened for no access at all: only which file the name leads to is asked.
  const HANDLE handle =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  return known && info.dwVolumeSerialNumber == file.fileDevice &&
         ((std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow) == file.fileNumber;
#else
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 &&
         static_cast<std::uint64_t>(info.st_dev) == file.fileDevice &&
         static_cast<std::uint64_t>(info.st_ino) == file.fileNumber;
#endif
}

#ifndef _WIN32
void handleBusError(int signal, siginfo_t* info, void* /*context*/) {
  const auto* const address = static_cast<const char*>(info->si_addr);
  const char* const begin = mappedBegin.load();
  if (lostInputReport != nullptr && begin != nullptr && address >= begin &&
      address < mappedEnd.load()) {
    lostInputReport();
  }
  // Anything else ends the process as it would have without this handler.
  (void)std::signal(signal, SIG_DFL);
  (void)std::raise(signal);
}
#endif

}  // namespace

void onMappedInputLost(void (*report)()) {
  lostInputReport = report;
#ifndef _WIN32
  struct sigaction action {};
  action.sa_sigaction = handleBusError;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  sigaction(SIGBUS, &action, nullptr);
#endif
}

InputFile::~InputFile() {
  unmap(*this);
}

void openInput(InputFile& file, const std::string& path) {
  closeInput(file);
  const int descriptor = ::open(path.c_str(), FDPRESERVE_OPEN_READ_FLAGS);
  if (descriptor < 0) {
    file.failMark = true;
    return;
  }
  identify(file, descriptor);
  if (mapWholeFile(file, descriptor)) {
    ::close(descriptor);
    file.isOpen = true;
    reopenInput(file);
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

bool readStandardInput(std::string& bytes) {
  constexpr int kStandardInput = 0;
#ifdef _WIN32
  // The runtime reads standard input in text mode: CR LF and Ctrl-Z are toTextMode's to handle.
  (void)_setmode(kStandardInput, _O_BINARY);
#endif
  return readAll(kStandardInput, bytes);
}

void openStandardInput(InputFile& file) {
  closeInput(file);
  std::string bytes;
  if (!readStandardInput(bytes)) {
    file.failMark = true;
    return;
  }
  openInputFromBytes(file, std::move(bytes));
}

void openInputFromBytes(InputFile& file, std::string bytes) {
  const std::size_t endMark = bytes.find(kEndOfFile);
  file.bytesAfterContent = endMark == std::string::npos ? 0 : bytes.size() - endMark;
  toTextMode(bytes);
  file.ownedBytes = std::move(bytes);
  file.content = file.ownedBytes;
  file.isOpen = true;
  reopenInput(file);
}

bool detachInputFrom(InputFile& file, const std::string& path) {
  if (!file.identified || !namesFile(file, path)) return false;
  if (file.mappedAddress != nullptr) ownContent(file, file.content);
  return true;
}

void reopenInput(InputFile& file) {
  file.position = 0;
  file.eofMark = false;
  file.failMark = !file.isOpen;
}

void closeInput(InputFile& file) {
  unmap(file);
  std::string().swap(file.ownedBytes);  // give the memory back, not just the length
  file.content = {};
  file.position = 0;
  file.bytesAfterContent = 0;
  file.fileDevice = 0;
  file.fileNumber = 0;
  file.identified = false;
  file.isOpen = false;
  file.eofMark = false;
  file.failMark = false;
}

}  // namespace fdpreserve
