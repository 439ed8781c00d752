// What the search has proved about boards in the request phase: a lower and an upper bound on
// each one's value, kept across searches, inside a memory budget, and shared by the threads of
// one search.
#pragma once

#include <array>
#include <atomic>
#include <boost/unordered/unordered_flat_map.hpp>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "model/packed_board.h"

// Bounds on one board's value, kNoValue standing for "no placement" (every number is below it).
struct Bounds {
  static constexpr std::uint16_t kNoValue = 0xffff;
  std::uint16_t lower = 0;
  std::uint16_t upper = kNoValue;
};

// Thrown when the table would have to grow beyond its budget; the searches let it pass up to
// the engine's query, which turns it into an ordinary "out of memory" answer.
struct BudgetExceeded {};

// Key: PackedBoard for two-class boards, GroupKey<W> for yards of groups.
//
// Threads. A table for one thread is one map, used without locks. A table shared by several
// threads is split into shards by the key's hash, each a map behind its own mutex: with 64
// shards, two threads (or sixteen) rarely want the same one at once. Measured on the 2-core
// machine against one map behind one mutex, the shards are what let a second thread help at all
// (see README, Performance); boost::concurrent_flat_map would do the same, but is not in
// Debian's Boost 1.81.
template <class Key, class Hash>
class BasicBoundTable {
 public:
  // One slot of the table:
  //   bytes  0..K-1    the key (16 bytes for a packed board, 8 W for a group key)
  //   bytes  K..K+1    lower bound
  //   bytes  K+2..K+3  upper bound
  //   bytes  K+4..K+7  padding (the key's 8-byte alignment)
  using Map = boost::unordered_flat_map<Key, Bounds, Hash>;
  using Entry = Map::value_type;

  // max_bytes 0: no budget. shared: whether several threads will use the table at once.
  explicit BasicBoundTable(std::size_t max_bytes, bool shared = false)
      : max_bytes_(max_bytes), shards_(shared ? kShards : 1) {}

  std::optional<Bounds> find(Key const& board) const {
    Shard const& shard = shard_of(board);
    Lock const lock(shard, shared());
    auto it = shard.map.find(board);
    if (it == shard.map.end()) return std::nullopt;
    return it->second;
  }
  // Raises the lower bound to at least `lower` (values are clamped to what a slot holds).
  void raise_lower(Key const& board, int lower) {
    Shard& shard = shard_of(board);
    Lock const lock(shard, shared());
    Bounds& b = slot(shard, board);
    if (lower > b.lower) b.lower = clamp(lower);
  }
  void cut_upper(Key const& board, int upper) {
    Shard& shard = shard_of(board);
    Lock const lock(shard, shared());
    Bounds& b = slot(shard, board);
    if (upper < b.upper) b.upper = clamp(upper);
  }

  std::size_t size() const { return size_.load(std::memory_order_relaxed); }
  // Memory the table holds now: its slots and their one-byte-a-slot metadata.
  std::size_t bytes() const { return bytes_.load(std::memory_order_relaxed); }

 private:
  static constexpr std::size_t kShards = 64;

  struct Shard {
    Map map;
    mutable std::mutex mutex;
  };
  // Locks a shard of a shared table; a table of one thread needs no lock.
  class Lock {
   public:
    Lock(Shard const& shard, bool shared) : mutex_(shared ? &shard.mutex : nullptr) {
      if (mutex_) mutex_->lock();
    }
    ~Lock() {
      if (mutex_) mutex_->unlock();
    }
    Lock(Lock const&) = delete;
    Lock& operator=(Lock const&) = delete;

   private:
    std::mutex* mutex_;
  };

  static std::uint16_t clamp(int v) {
    return v >= Bounds::kNoValue ? Bounds::kNoValue : static_cast<std::uint16_t>(v < 0 ? 0 : v);
  }
  static std::size_t bytes_for(std::size_t slots) { return slots * (sizeof(Entry) + 1); }

  bool shared() const { return shards_.size() > 1; }
  Shard& shard_of(Key const& board) {
    return shards_.size() == 1 ? shards_[0] : shards_[Hash()(board) >> 7 & (kShards - 1)];
  }
  Shard const& shard_of(Key const& board) const {
    return const_cast<BasicBoundTable*>(this)->shard_of(board);
  }

  Bounds& slot(Shard& shard, Key const& board) {
    Map& map = shard.map;
    if (map.size() >= map.max_load()) {
      // Growing doubles the slots, and the old array lives until the new one is filled.
      std::size_t const grown = bytes_for(2 * map.bucket_count() + 32);
      if (max_bytes_ != 0 && bytes() + grown > max_bytes_ && map.find(board) == map.end()) {
        throw BudgetExceeded{};
      }
    }
    std::size_t const buckets = map.bucket_count();
    auto const [it, inserted] = map.try_emplace(board);
    if (inserted) size_.fetch_add(1, std::memory_order_relaxed);
    if (map.bucket_count() != buckets) {
      bytes_.fetch_add(bytes_for(map.bucket_count()) - bytes_for(buckets),
                       std::memory_order_relaxed);
    }
    return it->second;
  }

  std::size_t max_bytes_;
  std::vector<Shard> shards_;
  std::atomic<std::size_t> size_{0};
  std::atomic<std::size_t> bytes_{0};
};

using BoundTable = BasicBoundTable<PackedBoard, PackedBoardHash>;

static_assert(sizeof(BoundTable::Entry) == 24, "bound table slot: 16-byte key, two bounds");
