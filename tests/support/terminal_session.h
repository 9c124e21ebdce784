#pragma once

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/program_runner.h"

namespace fdpreserve::testing {

/// The program running with a pseudo-terminal as its standard input, output and error, as when a
/// user starts it from a console window. Output processing is off, so `console()` holds the bytes
/// the program wrote, unchanged.
class TerminalSession {
 public:
  TerminalSession(const std::filesystem::path& workDir, const std::vector<std::string>& arguments,
                  const RunOptions& options = {});
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;
  /// Kills the program if it still runs.
  ~TerminalSession();

  /// Reads the console until it ends with `text`; false when `timeout` passed first.
  bool waitForConsoleEnding(std::string_view text, std::chrono::milliseconds timeout);
  /// Waits until the terminal reads single keys (no line editing, no echo); false on timeout.
  bool waitForSingleKeyMode(std::chrono::milliseconds timeout);
  /// True while the program has not ended.
  bool running();
  /// Types one key, without Enter.
  void pressKey(char key);
  /// Waits for the end of the program and reads the rest of the console. The exit status, or -1
  /// when it did not end within `timeout` (it is killed then) or was killed.
  int waitForExit(std::chrono::milliseconds timeout);

  /// Every byte the program wrote so far.
  const std::string& console() const { return console_; }
  /// The terminal's settings as they stand now.
  termios settings() const;
  /// The terminal's settings when the program started.
  const termios& initialSettings() const { return initial_; }

 private:
  /// Reads whatever the console holds within `wait`.
  void readConsole(std::chrono::milliseconds wait);

  int master_ = -1;
  int slave_ = -1;  // kept open, so the settings stay readable after the program has ended
  pid_t child_ = -1;
  int status_ = -1;
  bool ended_ = false;
  std::string console_;
  termios initial_{};
};

}  // namespace fdpreserve::testing
