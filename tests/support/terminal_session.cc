#include "support/terminal_session.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utmp.h>

#include <array>
#include <thread>

namespace fdpreserve::testing {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kStep{20};

}  // namespace

TerminalSession::TerminalSession(const std::filesystem::path& workDir,
                                 const std::vector<std::string>& arguments,
                                 const RunOptions& options) {
  const Command command(workDir, arguments, options);
  if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) return;
  termios raw = settings();
  raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);  // the program's CR LF arrives as it was written
  tcsetattr(slave_, TCSANOW, &raw);
  initial_ = settings();
  child_ = fork();
  if (child_ == 0) {
    close(master_);
    if (login_tty(slave_) != 0) _exit(126);
    command.exec();
  }
}

TerminalSession::~TerminalSession() {
  if (child_ > 0 && !ended_) {
    kill(child_, SIGKILL);
    waitpid(child_, nullptr, 0);
  }
  if (master_ >= 0) close(master_);
  if (slave_ >= 0) close(slave_);
}

void TerminalSession::readConsole(std::chrono::milliseconds wait) {
  pollfd fd{master_, POLLIN, 0};
  std::array<char, 4096> chunk{};
  while (poll(&fd, 1, static_cast<int>(wait.count())) > 0 && (fd.revents & POLLIN) != 0) {
    const ssize_t got = read(master_, chunk.data(), chunk.size());
    if (got <= 0) return;
    console_.append(chunk.data(), static_cast<std::size_t>(got));
    wait = std::chrono::milliseconds(0);
  }
}

bool TerminalSession::waitForConsoleEnding(std::string_view text,
                                           std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!console_.ends_with(text)) {
    if (Clock::now() > deadline) return false;
    readConsole(kStep);
  }
  return true;
}

bool TerminalSession::waitForSingleKeyMode(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while ((settings().c_lflag & (ICANON | ECHO)) != 0) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(kStep);
  }
  return true;
}

bool TerminalSession::running() {
  if (ended_ || child_ <= 0) return false;
  int status = 0;
  if (waitpid(child_, &status, WNOHANG) != child_) return true;
  ended_ = true;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return false;
}

void TerminalSession::pressKey(char key) {
  const ssize_t wrote = write(master_, &key, 1);
  (void)wrote;
}

int TerminalSession::waitForExit(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (running()) {
    if (Clock::now() > deadline) return -1;  // the destructor kills it
    readConsole(kStep);
  }
  readConsole(kStep);
  return status_;
}

termios TerminalSession::settings() const {
  termios now{};
  tcgetattr(slave_, &now);
  return now;
}

}  // namespace fdpreserve::testing
