#include "platform/pause.h"

#ifdef _WIN32
#include <cstdlib>
#else
#include <termios.h>
#include <unistd.h>

#include "platform/console.h"
#endif

namespace fdpreserve {

#ifdef _WIN32

void pauseForKey() {
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
