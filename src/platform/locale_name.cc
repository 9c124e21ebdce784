#include "platform/locale_name.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fdpreserve {

std::string messagesLocaleName() {
  // The order POSIX gives them: LC_ALL overrides everything, LANG is the fallback.
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
#ifdef _WIN32
  // A Windows user picks a language in the settings, not in the environment.
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  const int length = GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
  std::string ascii;
  for (int i = 0; i + 1 < length; ++i) {
    if (name[i] < 0x80) ascii.push_back(static_cast<char>(name[i]));
  }
  return ascii;
#else
  return {};
#endif
}

}  // namespace fdpreserve
