#include "search/search_limits.h"

#include <cmath>

char const* status_name(SearchStatus status) {
  switch (status) {
    case SearchStatus::optimal: return "optimal";
    case SearchStatus::time_limit: return "time_limit";
    case SearchStatus::memory_limit: return "memory_limit";
    case SearchStatus::interrupted: return "interrupted";
  }
  return "optimal";
}

SearchLimits SearchLimits::within_seconds(double seconds, std::atomic<bool> const* interrupt) {
  SearchLimits limits;
  limits.interrupt = interrupt;
  // Beyond a century the limit is no limit (and the sum below would overflow).
  if (std::isfinite(seconds) && seconds < 3.2e9) {
    limits.deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(seconds));
  }
  return limits;
}

bool StopCheck::reached() const {
  if (limits_.interrupt && limits_.interrupt->load(std::memory_order_relaxed)) return true;
  return limits_.deadline != SearchLimits::Clock::time_point::max() &&
         SearchLimits::Clock::now() >= limits_.deadline;
}
