// What the threads that search one proof together are working on right now: boards being
// expanded and requests being tried, each known by a hash. A thread that meets a request or a
// child another thread is in puts it off and takes the next, and comes back to it once it has
// tried everything else, when the other thread's proofs are most often in the table. So
// threads that start from the same board spread out over the requests of a board that must
// all be refuted, and over the children of a request that must all hold, at any depth.
//
// Marks are counters in a fixed array indexed by the hash: two boards that share a counter
// only make a thread put one off needlessly, which costs time, never a wrong answer, so the
// array is small enough to stay in cache.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

class BusyBoards {
 public:
  bool busy(std::uint64_t hash) const {
    return slots_[hash & kMask].load(std::memory_order_relaxed) != 0;
  }

  // Marks the hash busy while it lives.
  class Mark {
   public:
    Mark(BusyBoards* boards, std::uint64_t hash)
        : slot_(boards ? &boards->slots_[hash & kMask] : nullptr) {
      if (slot_) slot_->fetch_add(1, std::memory_order_relaxed);
    }
    ~Mark() {
      if (slot_) slot_->fetch_sub(1, std::memory_order_relaxed);
    }
    Mark(Mark const&) = delete;
    Mark& operator=(Mark const&) = delete;

   private:
    std::atomic<std::uint32_t>* slot_;
  };

  // The hash of the request at (stack, slot) of the board of hash `board`.
  static std::uint64_t request_hash(std::uint64_t board, int stack, int slot) {
    return (board ^ (static_cast<std::uint64_t>(stack * 64 + slot + 1) * 0x9e3779b97f4a7c15ull)) *
               0xc2b2ae3d27d4eb4full >>
           16;
  }

 private:
  static constexpr std::size_t kSlots = std::size_t{1} << 14;
  static constexpr std::uint64_t kMask = kSlots - 1;
  std::array<std::atomic<std::uint32_t>, kSlots> slots_{};
};
