#pragma once

#include <string>

namespace fdpreserve {

/// The locale the user asked messages in, as the platform names it ("hu_HU.UTF-8", "hu-HU"):
/// the first of LC_ALL, LC_MESSAGES and LANG that is set and not empty; on Windows, when none is,
/// the user's own locale. Empty when nothing says.
std::string messagesLocaleName();

}  // namespace fdpreserve
