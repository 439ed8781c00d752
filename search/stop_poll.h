// Loops that can run long between two boards expanded (placement walks, dives, lines, the
// rule's cost) look at the query's limits through StopPoll::poll(): a counter of the thread's
// own, and every 1024th time the limits themselves, which throw to stop. So a stop takes effect
// at once on any yard, for the price of an increment in the loops the search lives in.
#pragma once

#include <cstdint>
#include <functional>

class StopPoll {
 public:
  // While it lives, this thread's polls call `check` (which throws to stop); scopes nest.
  class Scope {
   public:
    explicit Scope(std::function<void()> const* check) : previous_(current_) { current_ = check; }
    ~Scope() { current_ = previous_; }
    Scope(Scope const&) = delete;
    Scope& operator=(Scope const&) = delete;

   private:
    std::function<void()> const* previous_;
  };

  // What this thread's polls call now, if anything: a scope nested in another calls it on.
  static std::function<void()> const* current() { return current_; }

  static void poll() {
    if ((++count_ & 1023) != 0 || current_ == nullptr) return;
    (*current_)();
  }

  // How many times this thread has polled: a measure of work done that, unlike time, is the
  // same on every machine and in every build.
  static std::uint64_t polls() { return count_; }

 private:
  static inline thread_local std::uint64_t count_ = 0;
  static inline thread_local std::function<void()> const* current_ = nullptr;
};

// A placement walk's skip that cuts nothing off and looks at the limits as it goes.
inline constexpr auto kSkipNothingButStop = [](auto const&, int, int) {
  StopPoll::poll();
  return false;
};
