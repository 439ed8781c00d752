// What every query of the engine runs under: the limits that stop it (a deadline, an interrupt),
// the memory shortages that end it, the time queries took, and when progress is due.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <new>
#include <optional>

#include "search/proof/bound_table.h"
#include "search/search_limits.h"
#include "search/stop_poll.h"

// Why an engine stopped answering: its table would have outgrown max_bytes, or the system
// refused memory (std::bad_alloc), which a larger max_bytes cannot cure.
enum class MemoryShortage { none, budget, system };

class QueryGuard {
 public:
  using Clock = std::chrono::steady_clock;

  // New limits; a query that the old ones stopped no longer stops the queries that follow.
  void set_limits(SearchLimits const& limits) {
    stop_.set(limits);
    stopped_ = SearchStatus::optimal;
  }
  SearchLimits const& limits() const { return stop_.limits(); }

  // Runs one query, turning a limit, a blown budget or an allocation failure into an empty
  // answer; once one has ended a query, every later query is empty at once.
  template <class Query>
  auto run(Query&& query) -> std::optional<decltype(query())> {
    if (!open()) return std::nullopt;
    query_start_ = last_report_ = Clock::now();
    std::optional<decltype(query())> answer;
    StopPoll::Scope const polling(&poll_);
    try {
      answer = query();
    } catch (SearchStopped const& e) {
      stopped_ = e.status;
    } catch (...) {
      if (!record_shortage()) throw;
    }
    seconds_ += std::chrono::duration<double>(Clock::now() - query_start_).count();
    query_start_ = Clock::time_point{};
    return answer;
  }
  // Runs work that a limit does not stop, recording a shortage; false if one came.
  template <class Work>
  bool run_unlimited(Work&& work) {
    try {
      work();
    } catch (...) {
      if (!record_shortage()) throw;
      return false;
    }
    return true;
  }

  // Called once for every board expanded: throws SearchStopped once a limit is reached;
  // true when a progress report is due.
  bool tick();

  // optimal while every query has been answered; otherwise what stopped one.
  SearchStatus status() const {
    return shortage_ != MemoryShortage::none ? SearchStatus::memory_limit : stopped_;
  }
  MemoryShortage shortage() const { return shortage_; }
  // Seconds spent in queries, the running one included.
  double seconds() const;
  // Seconds the running query has taken so far (0 between queries).
  double query_seconds() const {
    if (query_start_ == Clock::time_point{}) return 0;
    return std::chrono::duration<double>(Clock::now() - query_start_).count();
  }

 private:
  // Whether no limit or shortage has ended a query yet, noting a limit reached meanwhile.
  bool open();
  // Inside a catch block: records a memory shortage; false for any other exception.
  bool record_shortage();

  StopCheck stop_;
  std::function<void()> const poll_ = [this] { stop_.now(); };
  SearchStatus stopped_ = SearchStatus::optimal;
  MemoryShortage shortage_ = MemoryShortage::none;
  double seconds_ = 0;
  Clock::time_point query_start_{};
  Clock::time_point last_report_{};
  std::uint64_t ticks_ = 0;
};
