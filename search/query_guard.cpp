#include "search/query_guard.h"

namespace {

// How many expansions pass between two looks at the clock for progress reports.
constexpr std::uint64_t kTicksPerProgressCheck = 1 << 12;
constexpr auto kProgressInterval = std::chrono::milliseconds(250);

}  // namespace

bool QueryGuard::tick() {
  stop_();
  if (++ticks_ % kTicksPerProgressCheck != 0) return false;
  auto const now = Clock::now();
  if (now - last_report_ < kProgressInterval) return false;
  last_report_ = now;
  return true;
}

double QueryGuard::seconds() const {
  if (query_start_ == Clock::time_point{}) return seconds_;
  return seconds_ + std::chrono::duration<double>(Clock::now() - query_start_).count();
}

bool QueryGuard::open() {
  if (shortage_ != MemoryShortage::none || stopped_ != SearchStatus::optimal) return false;
  if (!stop_.reached()) return true;
  stopped_ = stop_.limits().interrupt && stop_.limits().interrupt->load()
                 ? SearchStatus::interrupted
                 : SearchStatus::time_limit;
  return false;
}

bool QueryGuard::record_shortage() {
  try {
    throw;
  } catch (BudgetExceeded const&) {
    shortage_ = MemoryShortage::budget;
  } catch (std::bad_alloc const&) {
    shortage_ = MemoryShortage::system;
  } catch (...) {
    return false;
  }
  return true;
}
