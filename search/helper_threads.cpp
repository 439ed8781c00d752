#include "search/helper_threads.h"

#include <exception>

namespace {

struct Done {};

}  // namespace

HelperThreads::HelperThreads(int count, Work const& work, SearchLimits const& limits) {
  for (int k = 1; k <= count; ++k) {
    threads_.emplace_back([this, work, limits, k] {
      StopCheck stop;
      stop.set(limits);
      std::uint64_t expanded = 0;
      auto const tick = [&] {
        if (done_.load(std::memory_order_relaxed)) throw Done{};
        ++expanded;
        stop();
      };
      // A helper ends as it may: done, stopped by a limit, out of memory, or finished; the
      // query's own thread meets the same limits and reports them.
      try {
        work(0x9e3779b97f4a7c15ull * static_cast<std::uint64_t>(k), tick);
      } catch (...) {
      }
      expanded_.fetch_add(expanded);
    });
  }
}

HelperThreads::~HelperThreads() {
  done_.store(true);
  for (std::thread& thread : threads_)
    thread.join();
}
