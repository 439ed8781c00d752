// Threads that help one query of the engine, each with a search of its own over the table the
// query uses (see Engine, the two-class value search). Every proof holds whichever thread made
// it, so answers are the same with any number of helpers.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "search/search_limits.h"

class HelperThreads {
 public:
  // work(tick) searches until it is done or tick throws; tick must be called once a board
  // expanded. The limits stop helpers too.
  using Work = std::function<void(std::function<void()> const& tick)>;

  HelperThreads(int count, Work const& work, SearchLimits const& limits);
  // Stops the helpers at their next board and waits for them.
  void stop();
  ~HelperThreads() { stop(); }
  HelperThreads(HelperThreads const&) = delete;
  HelperThreads& operator=(HelperThreads const&) = delete;

  // Boards the helpers expanded (read once they have stopped).
  std::uint64_t expanded() const { return expanded_.load(); }

 private:
  void start(Work const& work, SearchLimits const& limits);

  std::atomic<bool> done_{false};
  std::atomic<std::uint64_t> expanded_{0};
  std::vector<std::thread> threads_;
};
