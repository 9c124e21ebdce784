#pragma once

#include <string>

namespace fdpreserve::testing {

/// The console of a run that opened both files: an empty line, then the announcement.
inline std::string announcement(const std::string& outputName) {
  return "\r\nA(z) " + outputName + " nevu fajl letrehozva!\r\n";
}

/// The pause's prompt, which waits on the same line.
inline const std::string kPausePrompt = "A folytatashoz nyomjon meg egy billentyut . . . ";

}  // namespace fdpreserve::testing
