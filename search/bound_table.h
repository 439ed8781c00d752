// What the search has proved about boards in the request phase: a lower and an upper bound on
// each one's value, kept across searches, inside a memory budget, and shared by the threads of
// one search.
#pragma once

#include <array>
#include <atomic>
#include <boost/unordered/unordered_flat_map.hpp>
#include <boost/unordered/unordered_flat_set.hpp>
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

// How a table keeps a key's bounds: beside the key, in a map.
template <class Key, class Hash>
struct KeyAndBounds {
  // One slot: the key (16 bytes for a packed board, 8 W for a group key), the lower and the
  // upper bound (2 bytes each), padding to the key's 8-byte alignment.
  using Map = boost::unordered_flat_map<Key, Bounds, Hash>;
  using Entry = typename Map::value_type;

  static std::size_t hash(Key const& key) { return Hash()(key); }
  // The whole key is in the slot: every key fits any table.
  static std::uint64_t shape(Key const&) { return 0; }
  static bool contains(Map const& map, Key const& key) { return map.contains(key); }
  static std::optional<Bounds> find(Map const& map, Key const& key) {
    auto it = map.find(key);
    if (it == map.end()) return std::nullopt;
    return it->second;
  }
  // Lets `change` alter the key's bounds, made if missing; true when they were.
  template <class Change>
  static bool change(Map& map, Key const& key, Change&& change) {
    auto const [it, inserted] = map.try_emplace(key);
    change(it->second);
    return inserted;
  }
};

// Two-class boards in 16-byte slots. The top 24 bits of a packed board are its header (size and
// request), the same for every board of one search, so a slot keeps the codes and puts the two
// bounds, 12 bits each, where the header was; the table keeps boards of one size at a time. Bounds that do not fit (none of a board that
// packs: its values stay below 31 x 104) are kept weaker, never wrong: a lower bound lower, an
// upper bound as none.
struct PackedBoardSlots {
  struct Entry {
    std::uint64_t lo;
    std::uint64_t hi;  // bits 0..39 the codes' top bits, 40..51 lower, 52..63 upper
  };
  static constexpr std::uint64_t kCodes = (std::uint64_t{1} << 40) - 1;
  static constexpr std::uint64_t kNone = 0xfff;

  struct SlotHash {
    std::size_t operator()(Entry const& e) const { return PackedBoardHash()({e.lo, e.hi & kCodes}); }
  };
  // The bounds are no part of a slot's identity: they change in place (see change()).
  struct SlotEqual {
    bool operator()(Entry const& a, Entry const& b) const {
      return a.lo == b.lo && ((a.hi ^ b.hi) & kCodes) == 0;
    }
  };
  using Map = boost::unordered_flat_set<Entry, SlotHash, SlotEqual>;

  static Entry key_of(PackedBoard const& board) {
    return {board.lo, (board.hi & kCodes) | (kNone << 52)};
  }
  static std::size_t hash(PackedBoard const& board) { return SlotHash()(key_of(board)); }
  static std::uint64_t shape(PackedBoard const& board) { return board.hi >> 40; }
  static bool contains(Map const& map, PackedBoard const& board) {
    return map.contains(key_of(board));
  }
  static std::optional<Bounds> find(Map const& map, PackedBoard const& board) {
    auto it = map.find(key_of(board));
    if (it == map.end()) return std::nullopt;
    return bounds_of(*it);
  }
  template <class Change>
  static bool change(Map& map, PackedBoard const& board, Change&& change) {
    auto const [it, inserted] = map.insert(key_of(board));
    Bounds b = bounds_of(*it);
    change(b);
    // The set hands out its elements as const, lest their identity change; the bounds are no
    // part of it, and the element itself was never made const.
    const_cast<Entry&>(*it).hi =
        (it->hi & kCodes) | pack_bound(b.lower, kNone - 1) << 40 | pack_bound(b.upper, kNone) << 52;
    return inserted;
  }

 private:
  // A bound of no placement as kNone, a number too big for 12 bits as `too_big`.
  static std::uint64_t pack_bound(std::uint16_t v, std::uint64_t too_big) {
    if (v == Bounds::kNoValue) return kNone;
    return v < kNone ? v : too_big;
  }
  static std::uint16_t unpack_bound(std::uint64_t v) {
    return v == kNone ? Bounds::kNoValue : static_cast<std::uint16_t>(v);
  }
  static Bounds bounds_of(Entry const& e) {
    return {unpack_bound(e.hi >> 40 & kNone), unpack_bound(e.hi >> 52 & kNone)};
  }
};

// Key: PackedBoard for two-class boards, GroupKey<W> for yards of groups; Slots: how the
// bounds are kept with the key. When the slots keep only part of a key, the table holds keys of
// one shape: a key of another is not found, and storing one empties the table first (a query
// on another yard size; never while threads share a search, which keeps to one size).
//
// Threads. A table for one thread is one map, used without locks. A table shared by several
// threads is split into shards by the key's hash, each a map behind its own mutex: with 64
// shards, two threads (or sixteen) rarely want the same one at once. Measured on the 2-core
// machine against one map behind one mutex, the shards are what let a second thread help at all
// (see README, Performance); boost::concurrent_flat_map would do the same, but is not in
// Debian's Boost 1.81.
template <class Key, class Hash, class Slots = KeyAndBounds<Key, Hash>>
class BasicBoundTable {
 public:
  using Map = typename Slots::Map;
  using Entry = typename Slots::Entry;

  // max_bytes 0: no budget. shared: whether several threads will use the table at once.
  explicit BasicBoundTable(std::size_t max_bytes, bool shared = false)
      : max_bytes_(max_bytes), shards_(shared ? kShards : 1) {}

  std::optional<Bounds> find(Key const& board) const {
    if (Slots::shape(board) != shape_) return std::nullopt;
    Shard const& shard = shard_of(board);
    Lock const lock(shard, shared());
    return Slots::find(shard.map, board);
  }
  // Raises the lower bound to at least `lower` (values are clamped to what a slot holds).
  void raise_lower(Key const& board, int lower) {
    change(board, [&](Bounds& b) {
      if (lower > b.lower) b.lower = clamp(lower);
    });
  }
  void cut_upper(Key const& board, int upper) {
    change(board, [&](Bounds& b) {
      if (upper < b.upper) b.upper = clamp(upper);
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

  static std::uint16_t clamp(int v) {
    return v >= Bounds::kNoValue ? Bounds::kNoValue : static_cast<std::uint16_t>(v < 0 ? 0 : v);
  }
  static std::size_t bytes_for(std::size_t slots) { return slots * (sizeof(Entry) + 1); }

  bool shared() const { return shards_.size() > 1; }
  Shard& shard_of(Key const& board) {
    return shards_.size() == 1 ? shards_[0] : shards_[Slots::hash(board) >> 7 & (kShards - 1)];
  }
  Shard const& shard_of(Key const& board) const {
    return const_cast<BasicBoundTable*>(this)->shard_of(board);
  }

  void start_shape(std::uint64_t shape) {
    for (Shard& shard : shards_) {
      Lock const lock(shard, shared());
      shard.map = Map();
    }
    size_ = 0;
    bytes_ = 0;
    shape_ = shape;
  }

  template <class Change>
  void change(Key const& board, Change&& change) {
    if (Slots::shape(board) != shape_) start_shape(Slots::shape(board));
    Shard& shard = shard_of(board);
    Lock const lock(shard, shared());
    Map& map = shard.map;
    if (map.size() >= map.max_load()) {
      // Growing doubles the slots, and the old array lives until the new one is filled.
      std::size_t const grown = bytes_for(2 * map.bucket_count() + 32);
      if (max_bytes_ != 0 && bytes() + grown > max_bytes_ && !Slots::contains(map, board)) {
        throw BudgetExceeded{};
      }
    }
    std::size_t const buckets = map.bucket_count();
    if (Slots::change(map, board, change)) size_.fetch_add(1, std::memory_order_relaxed);
    if (map.bucket_count() != buckets) {
      bytes_.fetch_add(bytes_for(map.bucket_count()) - bytes_for(buckets),
                       std::memory_order_relaxed);
    }
  }

  std::size_t max_bytes_;
  std::uint64_t shape_ = 0;
  std::vector<Shard> shards_;
  std::atomic<std::size_t> size_{0};
  std::atomic<std::size_t> bytes_{0};
};

using BoundTable = BasicBoundTable<PackedBoard, PackedBoardHash, PackedBoardSlots>;

static_assert(sizeof(BoundTable::Entry) == 16, "bound table slot: the codes and both bounds");
