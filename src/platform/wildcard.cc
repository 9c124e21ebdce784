#include "platform/wildcard.h"

#include <utility>

#ifndef _WIN32
#include <glob.h>
#endif

namespace fdpreserve {

#ifdef _WIN32

// MinGW-w64's start-up code expands wildcards in the command line before main when this is
// non-zero; its own default, 0, is linked only when no object defines it. This object is always
// linked, as main calls expandArguments.
extern "C" {
int _dowildcard = -1;
}

std::vector<std::string> expandArguments(int argumentCount, char** argumentVector) {
  return {argumentVector, argumentVector + argumentCount};
}

#else

namespace {

bool holdsWildcard(const std::string& argument) {
  return argument.find_first_of("*?") != std::string::npos;
}

/// Escapes what glob would read as a bracket expression or an escape, so only * and ? are special.
std::string asGlobPattern(const std::string& argument) {
  std::string pattern;
  pattern.reserve(argument.size());
  for (const char c : argument) {
    if (c == '[' || c == ']' || c == '\\') pattern.push_back('\\');
    pattern.push_back(c);
  }
  return pattern;
}

}  // namespace

std::vector<std::string> expandArguments(int argumentCount, char** argumentVector) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argumentCount; ++i) {
    std::string argument = argumentVector[i];
    glob_t matches{};
    if (i > 0 && holdsWildcard(argument) &&
        glob(asGlobPattern(argument).c_str(), 0, nullptr, &matches) == 0) {
      // glob sorts its matches; the program never sets a locale, so the order is by bytes.
      for (std::size_t m = 0; m < matches.gl_pathc; ++m) {
        arguments.emplace_back(matches.gl_pathv[m]);
      }
    } else {
      arguments.push_back(std::move(argument));
    }
    globfree(&matches);
  }
  return arguments;
}

#endif

}  // namespace fdpreserve
