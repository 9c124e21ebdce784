#pragma once

#include <string>

namespace fdpreserve {

/// A path as the system's own file calls take it: on Windows the wide calls, which reach every
/// name.
#ifdef _WIN32
using SystemPath = std::wstring;
#else
using SystemPath = std::string;
#endif

/// What `startReplacement` opened.
enum class ReplacementStart {
  kNewFile,     ///< a new file beside the existing one, to be renamed over it
  kInPlace,     ///< the existing file itself, truncated: its folder takes no new file
  kNoNewFile,   ///< nothing: the file may be written, but no new file could be made beside it
  kUnwritable,  ///< nothing: the file cannot be opened for writing
};

/// Opens, for writing, a file that is to replace the existing file at `path` whole or not at all:
/// a new file in the same folder, with the permission bits of `path` and, where the system
/// allows, its owner and group. Sets `target` to `path` with its links resolved, and `temporary`
/// to the new file. When the folder lets no new file be made, opens `path` itself, truncated, and
/// leaves both empty. `descriptor` is what was opened, or -1.
ReplacementStart startReplacement(const std::string& path, SystemPath& target,
                                  SystemPath& temporary, int& descriptor);

/// Waits until every byte written to `descriptor` is on the disk. False on an I/O error.
bool syncToDisk(int descriptor);

/// Renames the closed file `temporary` over `target` in one step. When that fails, removes
/// `temporary` and returns false: `target` is as it was.
bool finishReplacement(const SystemPath& temporary, const SystemPath& target);

/// Removes the closed file `temporary` of a replacement given up.
void abandonReplacement(const SystemPath& temporary);

}  // namespace fdpreserve
