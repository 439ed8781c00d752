// What the search has proved about boards in the request phase: a lower and an upper bound on
// each one's value, kept across searches, inside a memory budget, and shared by the threads of
// one search.
#pragma once

#include <atomic>
#include <boost/unordered/unordered_flat_map.hpp>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "rules/no_placement.h"

// Bounds on one board's value, kNoValue standing for "no placement" (every number is below it).
struct Bounds {
  static constexpr std::uint16_t kNoValue = 0xffff;
  std::uint16_t lower = 0;
  std::uint16_t upper = kNoValue;
};

// A stored bound as a number of moves: kNoPlacement for kNoValue.
inline int value_of(std::uint16_t stored) {
  return stored == Bounds::kNoValue ? kNoPlacement : static_cast<int>(stored);
}

// Thrown when the table would have to grow beyond its budget; the searches let it pass up to
// the engine's query, which turns it into an ordinary "out of memory" answer.
struct BudgetExceeded {};

// A bound as a table keeps it: kNoValue for no placement and beyond, 0 for anything below.
inline std::uint16_t stored_bound(int v) {
  return v >= Bounds::kNoValue ? Bounds::kNoValue : static_cast<std::uint16_t>(v < 0 ? 0 : v);
}

// Key: GroupKey<W>, the key of a yard of groups (the two-class search has its own table, see
// search/packed_bound_table.h). One slot: the key (8 W bytes), the lower and the upper bound
// (2 bytes each), padding to the key's 8-byte alignment.
//
// Threads. A table for one thread is one map, used without locks. A table shared by several
// threads is split into shards by the key's hash, each a map behind its own mutex.
template <class Key, class Hash>
class BasicBoundTable {
 public:
  using Map = boost::unordered_flat_map<Key, Bounds, Hash>;
  using Entry = typename Map::value_type;

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
    change(board, [&](Bounds& b) {
      if (lower > b.lower) b.lower = stored_bound(lower);
    });
  }
  void cut_upper(Key const& board, int upper) {
    change(board, [&](Bounds& b) {
      if (upper < b.upper) b.upper = stored_bound(upper);
    });
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

  static std::size_t bytes_for(std::size_t slots) { return slots * (sizeof(Entry) + 1); }

  bool shared() const { return shards_.size() > 1; }
  Shard& shard_of(Key const& board) {
    return shards_.size() == 1 ? shards_[0] : shards_[Hash()(board) >> 7 & (kShards - 1)];
  }
  Shard const& shard_of(Key const& board) const {
    return const_cast<BasicBoundTable*>(this)->shard_of(board);
  }

  template <class Change>
  void change(Key const& board, Change&& change) {
    Shard& shard = shard_of(board);
    Lock const lock(shard, shared());
    Map& map = shard.map;
    if (map.size() >= map.max_load()) {
      // Growing doubles the slots, and the old array lives until the new one is filled.
      std::size_t const grown = bytes_for(2 * map.bucket_count() + 32);
      if (max_bytes_ != 0 && bytes() + grown > max_bytes_ && !map.contains(board)) {
        throw BudgetExceeded{};
      }
    }
    std::size_t const buckets = map.bucket_count();
    auto const [it, inserted] = map.try_emplace(board);
    change(it->second);
    if (inserted) size_.fetch_add(1, std::memory_order_relaxed);
    if (map.bucket_count() != buckets) {
      bytes_.fetch_add(bytes_for(map.bucket_count()) - bytes_for(buckets),
                       std::memory_order_relaxed);
    }
  }

  std::size_t max_bytes_;
  std::vector<Shard> shards_;
  std::atomic<std::size_t> size_{0};
  std::atomic<std::size_t> bytes_{0};
};
