#include "solve_cli/progress_line.h"

#include <algorithm>

#include "report/text_report.h"

namespace {

constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kRewriteEvery = std::chrono::milliseconds(200);

std::string stored_status(std::uint64_t stored, double seconds) {
  return std::to_string(stored) + " boards stored, " + std::to_string(static_cast<long>(seconds)) +
         " s";
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& out, bool enabled, std::function<Clock::time_point()> now)
    : out_(out), enabled_(enabled), now_(std::move(now)), start_(now_()), last_shown_(start_) {}

void ProgressLine::show(std::string const& status) {
  if (!enabled_) return;
  Clock::time_point const now = now_();
  if (now - start_ <= kQuietStart) return;
  if (shown_width_ > 0 && now - last_shown_ < kRewriteEvery) return;
  last_shown_ = now;
  std::string line = "\r" + status;
  if (status.size() < shown_width_) line += std::string(shown_width_ - status.size(), ' ');
  out_ << line << std::flush;
  shown_width_ = std::max(status.size(), shown_width_);
}

void ProgressLine::clear() {
  if (shown_width_ == 0) return;
  out_ << '\r' << std::string(shown_width_, ' ') << '\r' << std::flush;
  shown_width_ = 0;
}

double ProgressLine::elapsed_seconds() const {
  return std::chrono::duration<double>(now_() - start_).count();
}

std::string progress_status(long batch_solved, long batch_line, std::uint64_t stored,
                            double seconds, std::string const& bounds) {
  std::string text;
  if (batch_line > 0) {
    text = std::to_string(batch_solved) + (batch_solved == 1 ? " board" : " boards") +
           " solved, line " + std::to_string(batch_line) + ": ";
  }
  return text + bounds + stored_status(stored, seconds);
}

std::string file_progress_status(long files_solved, std::string const& file, std::uint64_t stored,
                                 double seconds, std::string const& bounds) {
  return std::to_string(files_solved) + (files_solved == 1 ? " file" : " files") + " solved, " +
         file + ": " + bounds + stored_status(stored, seconds);
}

std::string bounds_status(ValueBounds const& bounds, Within within) {
  if (!bounds.upper.placed() && !bounds.exact()) {
    return "lower " + moves_text(bounds.lower, within) + ", upper unknown, ";
  }
  return "lower " + moves_text(bounds.lower, within) + ", upper " +
         moves_text(bounds.upper, within) + ", gap " + gap_percent(*bounds_gap(bounds)) + ", ";
}
