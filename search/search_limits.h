// When a search must stop before it has an answer: a deadline, or a flag that a signal handler
// or another thread sets. The engine looks at both while it expands boards and, once either
// holds, abandons the query with SearchStopped, keeping every bound it has proved.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

// How a query ended. `memory_limit` covers both a blown budget and memory the system refused.
enum class SearchStatus { optimal, time_limit, memory_limit, interrupted };

char const* status_name(SearchStatus status);

struct SearchLimits {
  using Clock = std::chrono::steady_clock;
  // No deadline when it is Clock::time_point::max().
  Clock::time_point deadline = Clock::time_point::max();
  // Set (to true) from anywhere to stop the search at once; may be null.
  std::atomic<bool> const* interrupt = nullptr;

  static SearchLimits within_seconds(double seconds, std::atomic<bool> const* interrupt);
};

// Thrown out of a search that must stop; the engine turns it into an answer with a status.
struct SearchStopped {
  SearchStatus status;
};

// Checks the limits once every few calls: the flag is cheap to read, the clock less so.
class StopCheck {
 public:
  void set(SearchLimits const& limits) {
    limits_ = limits;
    calls_ = 0;
  }
  SearchLimits const& limits() const { return limits_; }
  // Throws SearchStopped when a limit is reached.
  void operator()() {
    if (limits_.interrupt && limits_.interrupt->load(std::memory_order_relaxed)) {
      throw SearchStopped{SearchStatus::interrupted};
    }
    // Every 64th call: well under a millisecond apart even on the slowest expansions, so a
    // limit of one millisecond still stops the search within it.
    if (limits_.deadline != SearchLimits::Clock::time_point::max() && (++calls_ & 63) == 0 &&
        SearchLimits::Clock::now() >= limits_.deadline) {
      throw SearchStopped{SearchStatus::time_limit};
    }
  }
  // Throws SearchStopped when a limit is reached, looking at the clock now.
  void now() const {
    if (reached()) {
      throw SearchStopped{limits_.interrupt && limits_.interrupt->load(std::memory_order_relaxed)
                              ? SearchStatus::interrupted
                              : SearchStatus::time_limit};
    }
  }
  // Whether a limit is reached now, without throwing.
  bool reached() const;

 private:
  SearchLimits limits_;
  std::uint64_t calls_ = 0;
};
