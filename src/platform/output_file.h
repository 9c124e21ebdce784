#pragma once

#include <string>
#include <string_view>

namespace fdpreserve {

/// A file opened for writing in text mode: every line end reaches it as CR LF. Bytes are buffered
/// and handed to the system in large blocks; any failure on the way is remembered, never lost.
struct OutputFile {
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  /// Writes out what is buffered and closes the file, as a stream does when it is destroyed.
  ~OutputFile();

  int descriptor = -1;
  std::string* memorySink = nullptr;  ///< when set, the file is this string instead
  std::string pending;                ///< written but not yet handed to the system
  bool isOpen = false;
  bool failed = false;  ///< a write or the close went wrong
};

/// Opens `path` for writing: created with mode 0664 (less the umask) when missing, truncated to
/// length 0 when present. False when it cannot be opened. Takes the memory of its buffer first,
/// so that writing allocates nothing afterwards.
bool openOutput(OutputFile& file, const std::string& path);

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

/// Flushes and closes. True when every write since opening, and the close itself, succeeded.
bool closeOutput(OutputFile& file);

}  // namespace fdpreserve
