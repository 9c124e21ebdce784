#include "platform/pause.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>
#else
#include <termios.h>
#include <unistd.h>

#include "platform/console.h"
#endif

namespace fdpreserve {

#ifdef _WIN32

void pauseForKey() {
  // Only a console has a user at it. Redirected from a file, NUL or a pipe, PAUSE would put its
  // prompt among the output a script reads, and on a pipe that stays open it would wait forever.
  // _isatty is no test: it holds for NUL too.
  DWORD consoleMode = 0;
  if (GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &consoleMode) == 0) return;
  // The interpreter prints its own prompt and waits; what it returns tells us nothing useful.
  const int ignored = std::system("PAUSE");
  (void)ignored;
}

#else

void pauseForKey() {
  if (isatty(STDIN_FILENO) == 0) return;
  writeConsole("A folytatashoz nyomjon meg egy billentyut . . . ");

  termios saved{};
  const bool haveSettings = tcgetattr(STDIN_FILENO, &saved) == 0;
  if (haveSettings) {
    termios oneKey = saved;
    oneKey.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    oneKey.c_cc[VMIN] = 1;
    oneKey.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &oneKey);
  }
  char key = 0;
  const auto got = ::read(STDIN_FILENO, &key, 1);
  (void)got;  // a key, the end of input or an error: each ends the wait
  if (haveSettings) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  writeConsoleLine("");
}

#endif

}  // namespace fdpreserve
