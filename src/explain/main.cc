#include <cstdio>
#include <new>
#include <string>

#include "explain/catalogue.h"
#include "explain/command_line.h"
#include "explain/messages.h"

int main(int argc, char** argv) {
  try {
    return fdpreserve::explain::runFdexplain(argc, argv);
  } catch (const std::bad_alloc&) {
    // Memory ran out outside any one file: on the command line, or for the report's last block.
    namespace explain = fdpreserve::explain;
    const std::string line = std::string(explain::texts::kProgram) + ": " +
                             explain::phrase(explain::languageOfUser(), "error.out-of-memory") +
                             "\n";
    (void)std::fputs(line.c_str(), stderr);
    return fdpreserve::explain::kExitTrouble;
  }
}
