#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fdpreserve {

/// A file opened for reading in text mode. All of it is available in memory once it opens, so
/// that starting over works for a pipe too. A regular file is mapped rather than copied, which
/// costs nothing per byte; any other file is read whole.
struct InputFile {
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  /// Unmaps what is mapped, as the system does when the process ends.
  ~InputFile();

  std::string_view content;       ///< the bytes as a text-mode read yields them
  std::string ownedBytes;         ///< holds `content` when the file was read rather than mapped
  void* mappedAddress = nullptr;  ///< holds `content` when the file was mapped
  std::size_t mappedSize = 0;
  std::uint64_t fileDevice = 0;  ///< with `fileNumber`, tells whether another path names this file
  std::uint64_t fileNumber = 0;  ///< the inode, or on Windows the file index
  bool identified = false;       ///< a file on disk whose device and number are known
  std::size_t position = 0;      ///< the next byte to read
  /// Bytes of the file from its first 1A on, the 1A included: no read ever yields them.
  std::size_t bytesAfterContent = 0;
  bool isOpen = false;
  bool eofMark = false;   ///< set by a read that ran into the end of the content
  bool failMark = false;  ///< set when opening failed or a read found nothing to read
};

/// Opens the file at `path` and makes all of it available. A file that cannot be opened or read
/// (a missing file, a folder, an I/O error) leaves `file` closed with its failure mark set.
void openInput(InputFile& file, const std::string& path);

/// Reads standard input to its end, byte for byte (in binary mode where the runtime would
/// otherwise translate line ends), and opens `file` over the bytes. A read error leaves `file`
/// closed with its failure mark set.
void openStandardInput(InputFile& file);

/// Reads all of standard input, its bytes as they are, into `bytes`; false when it cannot be read.
bool readStandardInput(std::string& bytes);

/// Opens `file` over bytes already in memory, as if they were the raw content of a file.
void openInputFromBytes(InputFile& file, std::string bytes);

/// True when `path` names the input file itself: by the same path, a link, or any name of the same
/// file. A mapped content is then copied into memory of its own, so that writing `path` afterwards
/// cannot take it away.
bool detachInputFrom(InputFile& file, const std::string& path);

/// Makes `report`, which must not return, run when a byte of a mapped input can no longer be read
/// because another program shortened the file meanwhile: the system then stops the process with
/// a bus error rather than failing a read. Any other bus error keeps its default action.
void onMappedInputLost(void (*report)());

/// Starts the file over at its first byte with both marks clear, as closing and reopening would.
void reopenInput(InputFile& file);

/// Closes the file and releases its content.
void closeInput(InputFile& file);

}  // namespace fdpreserve
