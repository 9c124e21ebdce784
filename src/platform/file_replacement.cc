#include "platform/file_replacement.h"

#include <fcntl.h>

#include <cerrno>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <memory>
#endif

namespace fdpreserve {
namespace {

ReplacementStart unwritable(SystemPath& target, SystemPath& temporary, int& descriptor) {
  target.clear();
  temporary.clear();
  descriptor = -1;
  return ReplacementStart::kUnwritable;
}

ReplacementStart noNewFile(SystemPath& target, SystemPath& temporary, int& descriptor) {
  ::close(descriptor);
  target.clear();
  temporary.clear();
  descriptor = -1;
  return ReplacementStart::kNoNewFile;
}

ReplacementStart inPlace(SystemPath& target, SystemPath& temporary, int& descriptor) {
#ifdef _WIN32
  const bool truncated = ::_chsize_s(descriptor, 0) == 0;
#else
  const bool truncated = ::ftruncate(descriptor, 0) == 0;
#endif
  if (!truncated) {
    ::close(descriptor);
    return unwritable(target, temporary, descriptor);
  }
  target.clear();
  temporary.clear();
  return ReplacementStart::kInPlace;
}

#ifndef _WIN32

/// The new file's name, in the folder of the file it replaces: of fixed length, far below any
/// limit, whatever the name it stands for.
constexpr const char* kNewFileName = ".fdpreserve-XXXXXX";

// The new file of the replacement under way, for the signal handler, which may read nothing else.
std::atomic<const char*> unfinished{nullptr};

void removeUnfinishedAndStop(int signal) {
  const char* const path = unfinished.load();
  if (path != nullptr) (void)::unlink(path);
  (void)std::signal(signal, SIG_DFL);
  (void)std::raise(signal);
}

/// Makes an interrupt, a hang-up or a request to end remove the new file first; the process then
/// ends as it would have. A signal that was ignored stays ignored.
void removeOnSignals(const std::string& temporary) {
  unfinished.store(temporary.c_str());
  static const bool installed = [] {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
      struct sigaction previous {};
      if (sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler != SIG_DFL) continue;
      struct sigaction action {};
      action.sa_handler = removeUnfinishedAndStop;
      sigemptyset(&action.sa_mask);
      (void)sigaction(signal, &action, nullptr);
    }
    return true;
  }();
  (void)installed;
}

/// False where the folder's sticky bit forbids renaming over a file that is not ours.
bool renameAllowed(const std::string& folder, const struct stat& file) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) return true;  // creating the new file will tell
  const uid_t self = geteuid();
  return (info.st_mode & S_ISVTX) == 0 || self == 0 || self == file.st_uid || self == info.st_uid;
}

/// Gives the new file what the file it replaces has: its owner and group, as far as the system
/// lets us, then its permission bits (after the owner, which may clear the set-id bits). A file
/// of another user can be given away only with privileges, and then becomes ours.
void takeOwnerAndMode(int created, const struct stat& file) {
  int given = fchown(created, file.st_uid, file.st_gid);
  if (given != 0) given = fchown(created, static_cast<uid_t>(-1), file.st_gid);
  (void)given;  // what cannot be given stays ours, as with any copy
  (void)fchmod(created, file.st_mode & 07777);
}

#endif

}  // namespace

#ifdef _WIN32

ReplacementStart startReplacement(const std::string& path, SystemPath& target,
                                  SystemPath& temporary, int& descriptor) {
  // Opened without truncating, this changes nothing, and asks whether the file may be written
  // exactly as opening it for the writes would.
  descriptor = ::_open(path.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
  if (descriptor < 0) return unwritable(target, temporary, descriptor);
  // The name with every link resolved: the new file takes the place of the file itself.
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
  const DWORD room = GetFinalPathNameByHandleW(handle, nullptr, 0, FILE_NAME_NORMALIZED);
  if (room == 0) return noNewFile(target, temporary, descriptor);
  target.assign(room, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(handle, target.data(), room, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= room) return noNewFile(target, temporary, descriptor);
  target.resize(length);
  temporary = target.substr(0, target.rfind(L'\\') + 1) + L".fdpreserve-00000000";
  const std::size_t digits = temporary.size() - 8;
  // Windows has no call that makes a unique name and opens it: names are drawn from the process id.
  for (DWORD attempt = 0, seed = GetCurrentProcessId(); attempt < 100; ++attempt) {
    DWORD number = seed + attempt * 0x9E3779B9U;
    for (std::size_t i = 0; i < 8; ++i, number >>= 4) {
      temporary[digits + 7 - i] = L"0123456789abcdef"[number & 0xF];
    }
    const int created =
        ::_wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                 _S_IREAD | _S_IWRITE);
    if (created >= 0) {
      ::close(descriptor);
      descriptor = created;
      return ReplacementStart::kNewFile;
    }
    if (errno == EACCES) return inPlace(target, temporary, descriptor);
    if (errno != EEXIST) break;
  }
  return noNewFile(target, temporary, descriptor);
}

bool syncToDisk(int descriptor) {
  return ::_commit(descriptor) == 0;
}

bool finishReplacement(const SystemPath& temporary, const SystemPath& target) {
  // The replace call keeps the attributes and access rules of the file it replaces.
  if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                   nullptr, nullptr) != 0) {
    return true;
  }
  const DWORD refused = GetLastError();
  // Where it refuses (file systems without its extras), a rename over the file does the rest.
  if (MoveFileExW(temporary.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
    return true;
  }
  // After this refusal the file's name is gone already, and the new file holds the only copy.
  if (refused != ERROR_UNABLE_TO_MOVE_REPLACEMENT) abandonReplacement(temporary);
  return false;
}

void abandonReplacement(const SystemPath& temporary) {
  (void)DeleteFileW(temporary.c_str());
}

#else

ReplacementStart startReplacement(const std::string& path, SystemPath& target,
                                  SystemPath& temporary, int& descriptor) {
  // Every name is made before anything is opened: memory cannot run out once a file exists.
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                             &std::free);
  std::string folder;
  if (resolved != nullptr) {
    target = resolved.get();
    folder = target.substr(0, target.rfind('/'));
    temporary = folder + '/' + kNewFileName;
  }
  // Opened without truncating, this changes nothing, and asks whether the file may be written
  // exactly as opening it for the writes would.
  descriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (descriptor < 0) return unwritable(target, temporary, descriptor);
  struct stat file {};
  if (resolved == nullptr || fstat(descriptor, &file) != 0) {
    return noNewFile(target, temporary, descriptor);
  }
  if (!renameAllowed(folder.empty() ? "/" : folder, file)) {
    return inPlace(target, temporary, descriptor);
  }
  const int created = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (created < 0) {
    // A folder that lets no new file be made keeps the file written in place, as it always was.
    if (errno == EACCES || errno == EPERM || errno == EROFS) {
      return inPlace(target, temporary, descriptor);
    }
    return noNewFile(target, temporary, descriptor);
  }
  removeOnSignals(temporary);
  takeOwnerAndMode(created, file);
  ::close(descriptor);
  descriptor = created;
  return ReplacementStart::kNewFile;
}

bool syncToDisk(int descriptor) {
  int result = 0;
  do {
    result = ::fsync(descriptor);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

bool finishReplacement(const SystemPath& temporary, const SystemPath& target) {
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    abandonReplacement(temporary);
    return false;
  }
  unfinished.store(nullptr);
  return true;
}

void abandonReplacement(const SystemPath& temporary) {
  (void)::unlink(temporary.c_str());
  unfinished.store(nullptr);
}

#endif

}  // namespace fdpreserve
