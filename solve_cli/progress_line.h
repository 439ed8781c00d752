// The status line of a long solve: one line on a terminal, rewritten in place with '\r', shown
// only once the run has taken more than a second, and wiped before anything else is written.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "search/engine.h"

class ProgressLine {
 public:
  using Clock = std::chrono::steady_clock;

  // `enabled` is whether `out` is a terminal: a file or a pipe gets nothing at all. The run's
  // time counts from construction.
  ProgressLine(
      std::ostream& out, bool enabled,
      std::function<Clock::time_point()> now = [] { return Clock::now(); });

  // Rewrites the line with `status`, unless less than a second has passed since the start or
  // a fifth of a second since the last rewrite.
  void show(std::string const& status);
  // Wipes the line, if one is shown.
  void clear();
  double elapsed_seconds() const;

 private:
  std::ostream& out_;
  bool enabled_;
  std::function<Clock::time_point()> now_;
  Clock::time_point start_;
  Clock::time_point last_shown_;
  std::size_t shown_width_ = 0;
};

// "12345 boards stored, 3 s"; in a batch "2 boards solved, line 7: 12345 boards stored, 3 s";
// `bounds` (see bounds_status) goes before the boards stored.
std::string progress_status(long batch_solved, long batch_line, std::uint64_t stored,
                            double seconds, std::string const& bounds = "");

// The same in a run over instance files: "2 files solved, a.txt: 12345 boards stored, 3 s".
std::string file_progress_status(long files_solved, std::string const& file, std::uint64_t stored,
                                 double seconds, std::string const& bounds = "");

// What is proven about the value being searched for: "lower 12, upper 15, gap 20.0%, " ("upper
// unknown", and no gap, when nothing finite is known).
std::string bounds_status(ValueBounds const& bounds, Within within);
