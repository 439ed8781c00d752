// The two-class search's table: bounds on the value of request-phase boards, in 16-byte slots,
// read without locks. A board is looked up some fifty times for every board expanded, most of
// them missing. With threads, a mutex taken for each look-up moved its cache line from core to
// core on every other look-up, and the second thread gave back little more than that cost
// (bench/edge_levers.md); boost::concurrent_flat_map, which reads without writing, is not in
// Debian's Boost 1.81. Hence this hand-written table: readers only load, writers take their
// shard's mutex.
//
// Each shard is an open-addressing array: one control byte a slot (0: empty, otherwise 0x80
// and 7 bits of the hash) and the slots. A writer fills a slot before it sets its control
// byte, and a slot's board never changes once set, so a reader that sees the control byte sees
// the board; the bounds change in place, one 64-bit store, and a reader sees the old bounds or
// the new ones, both true. An array that fills up is copied into one twice its size; readers
// may still be in the old one, so with threads it is kept until settle(), when none are.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "model/packed_board.h"
#include "search/bound_table.h"

class PackedBoundTable {
 public:
  // max_bytes 0: no budget. shared: whether several threads will use the table at once.
  explicit PackedBoundTable(std::size_t max_bytes, bool shared = false);
  ~PackedBoundTable();
  PackedBoundTable(PackedBoundTable const&) = delete;
  PackedBoundTable& operator=(PackedBoundTable const&) = delete;

  std::optional<Bounds> find(PackedBoard const& board) const;
  // Starts fetching what find(board) will read.
  void prefetch(PackedBoard const& board) const;
  // Raises the lower bound to at least `lower` (values are clamped to what a slot holds:
  // a bound too big for it is kept weaker, never wrong).
  void raise_lower(PackedBoard const& board, int lower);
  void cut_upper(PackedBoard const& board, int upper);

  std::size_t size() const { return size_.load(std::memory_order_relaxed); }
  // Memory the table holds now: its slots and control bytes, old arrays not yet let go included.
  std::size_t bytes() const { return bytes_.load(std::memory_order_relaxed); }
  // Lets go of the arrays that readers might still have been in; call only when no other
  // thread uses the table.
  void settle();

 private:
  // One slot: the packed board's low 64 code bits, then its top 40 code bits (the 24 header
  // bits, stacks and capacity, are the same for every board the table holds), the lower
  // bound (12 bits) and the upper bound (12 bits).
  struct Slot {
    std::atomic<std::uint64_t> lo;
    std::atomic<std::uint64_t> hi;
  };
  struct Array;
  struct Shard;
  struct Place;

  static constexpr std::size_t kShards = 64;

  Place place_of(PackedBoard const& board) const;
  template <class Change>
  void change(PackedBoard const& board, Change&& change);
  void grow(Shard& shard);
  void start_shape(std::uint64_t shape);
  void retire(Shard& shard);

  std::size_t max_bytes_;
  bool shared_;
  std::atomic<std::uint64_t> shape_{0};
  std::unique_ptr<Shard[]> shards_;
  std::atomic<std::size_t> size_{0};
  std::atomic<std::size_t> bytes_{0};
};

using BoundTable = PackedBoundTable;
