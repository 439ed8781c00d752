// Threads that help one query of the engine: each runs its own search over the table the query
// uses, in an order of its own, so that the query finds more of its boards proved already. The
// query's own thread alone gives the answer; a helper only ever adds proofs to the table, and
// every proof holds whoever made it, so answers are the same with any number of helpers.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "search/search_limits.h"

class HelperThreads {
 public:
  // work(seed, tick) searches until tick throws; tick must be called once a board expanded.
  // seed is the helper's order (never 0, the query's own). The limits stop helpers too.
  using Work = std::function<void(std::uint64_t seed, std::function<void()> const& tick)>;

  HelperThreads(int count, Work const& work, SearchLimits const& limits);
  // Stops the helpers at their next board and waits for them.
  ~HelperThreads();
  HelperThreads(HelperThreads const&) = delete;
  HelperThreads& operator=(HelperThreads const&) = delete;

  // Boards the helpers expanded (read once they have stopped).
  std::uint64_t expanded() const { return expanded_.load(); }

 private:
  std::atomic<bool> done_{false};
  std::atomic<std::uint64_t> expanded_{0};
  std::vector<std::thread> threads_;
};
