#include <new>

#include "driver/run.h"
#include "platform/console.h"
#include "platform/wildcard.h"

int main(int argc, char** argv) {
  fdpreserve::failWritesInsteadOfSignals();
  try {
    return fdpreserve::runFdpreserve(fdpreserve::expandArguments(argc, argv));
  } catch (const std::bad_alloc&) {
    // The only exception the program can meet: the standard library running out of memory.
    return fdpreserve::reportOutOfMemory();
  }
}
