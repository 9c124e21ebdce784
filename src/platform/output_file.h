#pragma once

#include <string>
#include <string_view>

#include "platform/file_replacement.h"

namespace fdpreserve {

/// A file opened for writing in text mode: every line end reaches it as CR LF. Bytes are buffered
/// and handed to the system in large blocks; any failure on the way is remembered, never lost.
struct OutputFile {
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  /// Writes out what is buffered and closes the file, as a stream does when it is destroyed. A
  /// replacement never committed is removed.
  ~OutputFile();

  int descriptor = -1;
  std::string* memorySink = nullptr;  ///< when set, the file is this string instead
  std::string pending;                ///< written but not yet handed to the system
  SystemPath replacedPath;            ///< the file a replacement is written for
  SystemPath temporaryPath;  ///< the replacement until it is committed or removed; else empty
  bool isOpen = false;
  bool failed = false;  ///< a write or the close went wrong
  /// The file still holds the bytes it had when it was opened; they go before the first write.
  bool truncateFirst = false;
};

/// Opens `path` for writing: created with mode 0664 (less the umask) when missing, truncated to
/// length 0 when present, at the latest when the first bytes reach it or it is closed. False when
/// it cannot be opened. Takes the memory of its buffer first, so that writing allocates nothing
/// afterwards.
bool openOutput(OutputFile& file, const std::string& path);

/// Opens the existing file at `path` so that a failure anywhere leaves it as it was: the writes go
/// to a new file beside it, which `commitOutput` puts in its place. Where its folder lets no new
/// file be made, `path` is truncated and written in place, as `openOutput` does. False when `path`
/// cannot be opened for writing. When a new file cannot be made for another reason (a full disk),
/// the file opens failed: every write fails, and `path` stays as it was.
bool openReplacement(OutputFile& file, const std::string& path);

/// Opens `file` over `sink`, which receives every byte written from now on.
void openOutputInMemory(OutputFile& file, std::string& sink);

/// Appends bytes as they are. Allocates nothing for a file on disk.
void writeBytes(OutputFile& file, std::string_view bytes);

/// Appends text as a text-mode stream writes it: each line feed in it reaches the file as a line
/// end. Allocates nothing for a file on disk.
void writeText(OutputFile& file, std::string_view text);

/// Appends one line end.
void writeLineEnd(OutputFile& file);

/// Hands every buffered byte to the system.
void flushOutput(OutputFile& file);

/// Flushes and closes; a replacement is also made to reach the disk before it is closed. True when
/// every write since opening, and the close itself, succeeded.
bool closeOutput(OutputFile& file);

/// Closes the file and puts a replacement in the place of the file it replaces, or removes it
/// when any write or the close failed. True when everything, the renaming too, succeeded.
bool commitOutput(OutputFile& file);

/// Closes the file, removing a replacement: the file it was to replace stays as it was.
void discardOutput(OutputFile& file);

}  // namespace fdpreserve
