#include <new>

#include "driver/messages.h"
#include "driver/run.h"
#include "platform/console.h"
#include "platform/pause.h"
#include "platform/wildcard.h"

int main(int argc, char** argv) {
  try {
    return fdpreserve::runFdpreserve(fdpreserve::expandArguments(argc, argv));
  } catch (const std::bad_alloc&) {
    // The only exception the program can meet: the standard library running out of memory.
    fdpreserve::writeConsoleLine(fdpreserve::messages::kOutOfMemory);
    fdpreserve::pauseForKey();
    return fdpreserve::kExitFailure;
  }
}
