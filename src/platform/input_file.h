#pragma once

#include <cstddef>
#include <string>

namespace fdpreserve {

/// A file opened for reading in text mode. All of it is read into memory when it opens, so that
/// starting over works for a pipe too, and truncating the same path later cannot lose it.
struct InputFile {
  std::string content;       ///< the bytes as a text-mode read yields them
  std::size_t position = 0;  ///< the next byte to read
  bool isOpen = false;
  bool eofMark = false;   ///< set by a read that ran into the end of the content
  bool failMark = false;  ///< set when opening failed or a read found nothing to read
};

/// Opens and reads the whole file at `path`. A file that cannot be opened or read (a missing file,
/// a folder, an I/O error) leaves `file` closed with its failure mark set.
void openInput(InputFile& file, const std::string& path);

/// Opens `file` over bytes already in memory, as if they were the raw content of a file.
void openInputFromBytes(InputFile& file, std::string bytes);

/// Starts the file over at its first byte with both marks clear, as closing and reopening would.
void reopenInput(InputFile& file);

/// Closes the file and releases its content.
void closeInput(InputFile& file);

}  // namespace fdpreserve
