#include "search/proof/helper_threads.h"

#include "search/stop_poll.h"

#include <exception>
#include <system_error>

namespace {

struct Done {};

}  // namespace

HelperThreads::HelperThreads(int count, Work const& work, SearchLimits const& limits) {
  for (int i = 0; i < count; ++i) {
    // A thread the system will not start (no memory for its stack, a limit on threads) is
    // help that does not come: the query's own thread does the work.
    try {
      start(work, limits);
    } catch (std::system_error const&) {
      break;
    }
  }
}

void HelperThreads::start(Work const& work, SearchLimits const& limits) {
  threads_.emplace_back([this, work, limits] {
    StopCheck stop;
    stop.set(limits);
    std::uint64_t expanded = 0;
    auto const tick = [&] {
      if (done_.load(std::memory_order_relaxed)) throw Done{};
      ++expanded;
      stop();
    };
    std::function<void()> const poll = [&] {
      if (done_.load(std::memory_order_relaxed)) throw Done{};
      stop.now();
    };
    StopPoll::Scope const polling(&poll);
    // A helper ends as it may: done, stopped by a limit, out of memory, or finished; the
    // query's own thread meets the same limits and reports them.
    try {
      work(tick);
    } catch (...) {
    }
    expanded_.fetch_add(expanded);
  });
}

void HelperThreads::stop() {
  done_.store(true);
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}
