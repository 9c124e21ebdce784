#include "support/program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iterator>
#include <utility>

namespace fdpreserve::testing {
namespace {

using Clock = std::chrono::steady_clock;

// Far beyond any run, even under Wine or a sanitizer: a program still running then waits forever.
constexpr auto kDeadline = std::chrono::seconds(60);

/// The standard input of one run: the end the program gets, and what the runner holds open
/// until the program has ended (the write end of an idle pipe, the master side of a terminal).
struct PreparedInput {
  int programEnd = -1;
  int heldEnd = -1;
  termios before{};
};

bool prepareInput(StandardInput input, PreparedInput& prepared) {
  switch (input) {
    case StandardInput::kEndOfFile:
      prepared.programEnd = open("/dev/null", O_RDONLY | O_CLOEXEC);
      return prepared.programEnd >= 0;
    case StandardInput::kIdlePipe: {
      std::array<int, 2> ends{};
      if (pipe2(ends.data(), O_CLOEXEC) != 0) return false;
      prepared.programEnd = ends[0];
      prepared.heldEnd = ends[1];
      return true;
    }
    case StandardInput::kTerminalWithKey: {
      prepared.heldEnd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
      std::array<char, 128> name{};
      if (prepared.heldEnd < 0 || grantpt(prepared.heldEnd) != 0 ||
          unlockpt(prepared.heldEnd) != 0 ||
          ptsname_r(prepared.heldEnd, name.data(), name.size()) != 0) {
        return false;
      }
      prepared.programEnd = open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
      return prepared.programEnd >= 0 && tcgetattr(prepared.programEnd, &prepared.before) == 0 &&
             write(prepared.heldEnd, "x", 1) == 1;
    }
  }
  return false;
}

void closeIfOpen(int& fd) {
  if (fd >= 0) close(std::exchange(fd, -1));
}

bool sameSettings(const termios& first, const termios& second) {
  return first.c_iflag == second.c_iflag && first.c_oflag == second.c_oflag &&
         first.c_cflag == second.c_cflag && first.c_lflag == second.c_lflag &&
         std::equal(std::begin(first.c_cc), std::end(first.c_cc), std::begin(second.c_cc));
}

/// Reads both pipes to their ends at once, so that neither side can fill up and block the child.
/// False when the deadline passed first.
bool drain(int outFd, int errFd, std::string& out, std::string& err) {
  const auto deadline = Clock::now() + kDeadline;
  std::array<pollfd, 2> fds{{{outFd, POLLIN, 0}, {errFd, POLLIN, 0}}};
  std::array<std::string*, 2> sinks{&out, &err};
  int open = 2;
  std::array<char, 65536> chunk{};
  while (open > 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    if (poll(fds.data(), fds.size(), static_cast<int>(left)) < 0) continue;
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t got = read(fds[i].fd, chunk.data(), chunk.size());
      if (got > 0) {
        sinks[i]->append(chunk.data(), static_cast<std::size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  for (const pollfd& fd : fds) {
    if (fd.fd >= 0) close(fd.fd);
  }
  return open == 0;
}

}  // namespace

std::string programUnderTest() {
  const char* chosen = std::getenv("FDPRESERVE_PROGRAM");
  return chosen != nullptr && *chosen != '\0' ? chosen : FDPRESERVE_BUILT_PROGRAM;
}

bool programRunsUnderWine() {
  const char* wine = std::getenv("FDPRESERVE_UNDER_WINE");
  return wine != nullptr && *wine != '\0';
}

RunResult runProgram(const std::filesystem::path& workDir,
                     const std::vector<std::string>& arguments, StandardInput input) {
  const std::string program = programUnderTest();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  RunResult result;
  std::array<int, 2> outPipe{-1, -1};
  std::array<int, 2> errPipe{-1, -1};
  PreparedInput prepared;
  const pid_t child = prepareInput(input, prepared) && pipe2(outPipe.data(), O_CLOEXEC) == 0 &&
                              pipe2(errPipe.data(), O_CLOEXEC) == 0
                          ? fork()
                          : -1;
  if (child == 0) {
    dup2(prepared.programEnd, 0);
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    if (chdir(workDir.c_str()) != 0) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  closeIfOpen(outPipe[1]);
  closeIfOpen(errPipe[1]);
  if (child > 0) {
    if (!drain(std::exchange(outPipe[0], -1), std::exchange(errPipe[0], -1), result.console,
               result.errors)) {
      result.timedOut = true;
      kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && !result.timedOut) result.exitStatus = WEXITSTATUS(status);
    termios after{};
    result.terminalSettingsKept =
        input != StandardInput::kTerminalWithKey ||
        (tcgetattr(prepared.programEnd, &after) == 0 && sameSettings(prepared.before, after));
  }
  for (int* fd : {&outPipe[0], &errPipe[0], &prepared.programEnd, &prepared.heldEnd}) {
    closeIfOpen(*fd);
  }
  return result;
}

}  // namespace fdpreserve::testing
