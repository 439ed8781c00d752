// When a search draws beams (search/best_order_beam.h) from within its proofs.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "search/stop_poll.h"

// When a search's proofs draw beams: from a poll of the query's own thread, so that no proof is
// cut short, the first once `first_after` polls have passed, then each time the proofs have run
// twice as long again, a beam twice as wide, so that the lines keep pace with the proofs at a
// steady share of the time. While it lives, this thread's polls draw the beams due by `draw`
// (width), then look at the query's limits as before; `draw` polls those limits alone.
class BeamSchedule {
 public:
  BeamSchedule(int stacks, std::uint64_t first_after, std::function<void(int)> draw)
      : stacks_(stacks),
        due_(first_after == kNever ? kNever : StopPoll::polls() + first_after),
        draw_(std::move(draw)),
        outer_(StopPoll::current()),
        poll_([this] { on_poll(); }),
        scope_(&poll_) {}

  // Draws the next beam at the next poll.
  void now() { due_ = StopPoll::polls(); }

  // Most searches are over long before the first beam would pay: about 0.2 s of proofs (20 to
  // 40 million polls a second), counted in polls rather than time so that which yards get
  // beams, and the boards searched, are the same on every machine and in every build.
  static constexpr std::uint64_t kFirstAfter = 8'000'000;
  static constexpr std::uint64_t kNever = ~std::uint64_t{0};

 private:
  void on_poll() {
    if (StopPoll::polls() >= due_) {
      due_ = kNever;
      {
        StopPoll::Scope const plain(outer_);
        draw_(width_);
      }
      std::uint64_t const proofs = kShare * kFirstAfter * (width_ / kFirstWidth);
      width_ *= 2;
      if (width_ <= kWidest && width_ * stacks_ <= kMostBoards) due_ = StopPoll::polls() + proofs;
    }
    if (outer_) (*outer_)();
  }

  // A beam's price is about its width times the item pilot's: on 60-item yards a width of 64
  // takes some hundredths of a second, and 4096 some seconds. It holds about width x stacks
  // boards of a few kilobytes at once, hence the second limit: 32768 boards, under 100 MB.
  static constexpr int kFirstWidth = 64;
  static constexpr int kWidest = 4096;
  static constexpr int kMostBoards = 32768;
  // The proofs' polls between two beams, for each kFirstWidth of the last one's width, in
  // kFirstAfter's: about ten times the beam's own time on 60-item yards.
  static constexpr std::uint64_t kShare = 4;

  int stacks_;
  int width_ = kFirstWidth;
  std::uint64_t due_;
  std::function<void(int)> draw_;
  std::function<void()> const* outer_;
  std::function<void()> poll_;
  StopPoll::Scope scope_;
};
