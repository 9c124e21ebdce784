#include "support/program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

namespace fdpreserve::testing {
namespace {

/// Reads both pipes to their ends at once, so that neither side can fill up and block the child.
void drain(int outFd, int errFd, std::string& out, std::string& err) {
  std::array<pollfd, 2> fds{{{outFd, POLLIN, 0}, {errFd, POLLIN, 0}}};
  std::array<std::string*, 2> sinks{&out, &err};
  int open = 2;
  std::array<char, 65536> chunk{};
  while (open > 0) {
    if (poll(fds.data(), fds.size(), -1) < 0) continue;
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
}

}  // namespace

std::string programUnderTest() {
  const char* chosen = std::getenv("FDPRESERVE_PROGRAM");
  return chosen != nullptr && *chosen != '\0' ? chosen : FDPRESERVE_BUILT_PROGRAM;
}

RunResult runProgram(const std::filesystem::path& workDir,
                     const std::vector<std::string>& arguments) {
  const std::string program = programUnderTest();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  int outPipe[2];
  int errPipe[2];
  RunResult result;
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return result;
  const pid_t child = fork();
  if (child == 0) {
    const int nothing = open("/dev/null", O_RDONLY);
    dup2(nothing, 0);
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    close(outPipe[0]);
    close(errPipe[0]);
    if (chdir(workDir.c_str()) != 0) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  drain(outPipe[0], errPipe[0], result.console, result.errors);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  return result;
}

}  // namespace fdpreserve::testing
