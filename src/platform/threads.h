#pragma once

#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <utility>

#ifndef __EMSCRIPTEN__
#include <stop_token>
#include <thread>
#endif

// A helper thread where the platform gives one. The web page runs its jobs in memory on a worker
// of its own, and its C++ library has neither jthread nor stop tokens: there no helper thread is
// ever started, and the stand-ins below let the same code compile.

namespace fdpreserve {

#ifdef __EMSCRIPTEN__

/// Asks nothing to stop: no thread ever runs beside the one there is.
struct StopToken {
  // NOLINTNEXTLINE(readability-identifier-naming): the name std::stop_token gives it
  [[nodiscard]] bool stop_requested() const { return false; }
};

/// A thread that is never started.
struct HelperThread {
  // NOLINTNEXTLINE(readability-identifier-naming): the name std::jthread gives it
  [[nodiscard]] bool joinable() const { return false; }
  void join() {}
};

/// A thread that is never started: the caller does the work itself.
template <typename Work>
HelperThread startHelper(Work&& /*work*/) {
  return {};
}

/// Waits for nothing: no other thread could make `ready` true.
template <typename Ready>
bool waitUnlessStopped(std::condition_variable_any& /*changed*/,
                       std::unique_lock<std::mutex>& /*lock*/, const StopToken& /*stop*/,
                       Ready ready) {
  return ready();
}

#else

using StopToken = std::stop_token;
using HelperThread = std::jthread;

/// Starts `work` on a thread of its own, which is given a stop token when it takes one; a thread
/// that is not joinable when none can be had, for want of threads or of memory: the caller then
/// does the work itself.
template <typename Work>
HelperThread startHelper(Work&& work) {
  try {
    return HelperThread(std::forward<Work>(work));
  } catch (const std::system_error&) {  // NOLINT(bugprone-empty-catch): the caller does the work
  } catch (const std::bad_alloc&) {     // NOLINT(bugprone-empty-catch): the caller does the work
  }
  return {};
}

/// Waits on `changed` until `ready` holds or `stop` is asked for; whether `ready` holds.
template <typename Ready>
bool waitUnlessStopped(std::condition_variable_any& changed, std::unique_lock<std::mutex>& lock,
                       const StopToken& stop, Ready ready) {
  return changed.wait(lock, stop, std::move(ready));
}

#endif

}  // namespace fdpreserve
