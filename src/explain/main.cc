#include <cstdio>
#include <new>
#include <string>

#include "explain/command_line.h"
#include "explain/messages.h"

int main(int argc, char** argv) {
  try {
    return fdpreserve::explain::runFdexplain(argc, argv);
  } catch (const std::bad_alloc&) {
    // Memory ran out outside any one file: on the command line, or for the report's last block.
    namespace texts = fdpreserve::explain::texts;
    (void)std::fputs(
        (std::string(texts::kProgram) + ": " + std::string(texts::kOutOfMemoryAtAll) + "\n")
            .c_str(),
        stderr);
    return fdpreserve::explain::kExitTrouble;
  }
}
