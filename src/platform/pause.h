#pragma once

namespace fdpreserve {

/// Waits for one key press, as the command interpreter's PAUSE does. Where standard input is not a
/// terminal nobody can press a key, so it returns at once and prints nothing.
void pauseForKey();

}  // namespace fdpreserve
