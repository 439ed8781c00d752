// The proof search's table: bounds on the value of boards between requests, in slots of a few
// 64-bit words, read without locks. A board is looked up some fifty times for every board
// expanded, most of them missing. With threads, a mutex taken for each look-up moved its cache
// line from core to core on every other look-up, and the second thread gave back little more
// than that cost (bench/edge_levers.md); boost::concurrent_flat_map, which reads without
// writing, is not in Debian's Boost 1.81. Hence this hand-written table: readers only load,
// writers take their shard's mutex.
//
// Each shard is an open-addressing array: one control byte a slot (0: empty, otherwise 0x80
// and 7 bits of the hash) and the slots. A writer fills a slot before it sets its control
// byte, and a slot's key never changes once set, so a reader that sees the control byte sees
// the key; the bounds change in place, one 64-bit store, and a reader sees the old bounds or
// the new ones, both true. An array that fills up is copied into one twice its size; readers
// may still be in the old one, so with threads it is kept until settle(), when none are.
//
// Packing says how a key lies in a slot's words:
//   Key; kWords                       the words a slot takes
//   shape(key)                        what every key of one table shares (its dimensions): a
//                                     key of another shape empties the table (see change())
//   words(key, out)                   the key's words, with the 24 bits the shape takes zero
//   kBoundsWord, kBoundsShift         where those 24 bits are: they hold the bounds, the lower
//                                     one in the low 12 bits, the upper one above
//   hash(words)
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "search/proof/bound_table.h"

template <class Packing>
class BoundSlots {
 public:
  using Key = typename Packing::Key;
  static constexpr int kWords = Packing::kWords;

  // max_bytes 0: no budget. shared: whether several threads will use the table at once.
  explicit BoundSlots(std::size_t max_bytes, bool shared = false)
      : max_bytes_(max_bytes), shared_(shared), shards_(new Shard[kShards]) {}
  BoundSlots(BoundSlots const&) = delete;
  BoundSlots& operator=(BoundSlots const&) = delete;

  std::optional<Bounds> find(Key const& key) const;
  // Starts fetching what find(key) will read.
  void prefetch(Key const& key) const;
  // Raises the lower bound to at least `lower` (values are clamped to what a slot holds: a
  // bound too big for it is kept weaker, never wrong).
  void raise_lower(Key const& key, int lower) {
    change(key, [&](Bounds& b) {
      if (lower > b.lower) b.lower = stored_bound(lower);
    });
  }
  void cut_upper(Key const& key, int upper) {
    change(key, [&](Bounds& b) {
      if (upper < b.upper) b.upper = stored_bound(upper);
    });
  }

  std::size_t size() const { return size_.load(std::memory_order_relaxed); }
  // Memory the table holds now: its slots and control bytes, old arrays not yet let go included.
  std::size_t bytes() const { return bytes_.load(std::memory_order_relaxed); }
  // Lets go of the arrays that readers might still have been in; call only when no other
  // thread uses the table.
  void settle();

 private:
  // One slot: the key's words, the bounds in place of its shape (12 bits each).
  struct Slot {
    std::atomic<std::uint64_t> word[kWords];
  };
  static_assert(sizeof(Slot) == 8 * kWords);
  struct Array;
  struct Shard;
  // Where a key goes: its shard, the slot its probe starts at (before masking), its control
  // byte, and its words without bounds.
  struct Place {
    Shard* shard;
    std::size_t start;
    std::uint8_t control;
    std::uint64_t word[kWords];
  };

  static constexpr std::size_t kShards = 64;
  static constexpr std::size_t kFirstSlots = 64;
  static constexpr std::uint64_t kNone = 0xfff;  // a bound of no placement
  static constexpr std::uint64_t kBoundBits = std::uint64_t{0xffffff} << Packing::kBoundsShift;

  Place place_of(std::uint64_t const* words) const;
  Place place_of(Key const& key) const {
    std::uint64_t words[kWords];
    Packing::words(key, words);
    return place_of(words);
  }
  // Whether slot i of array a holds the key placed at p; its bounds word then goes to *bounds.
  static bool holds(Array const& a, std::size_t i, Place const& p, std::uint64_t* bounds);
  template <class Change>
  void change(Key const& key, Change&& change);
  void grow(Shard& shard);
  void start_shape(std::uint64_t shape);
  void retire(Shard& shard);

  // A bound of no placement as kNone, a number too big for 12 bits as `too_big`.
  static std::uint64_t pack_bound(std::uint16_t v, std::uint64_t too_big) {
    if (v == Bounds::kNoValue) return kNone;
    return v < kNone ? v : too_big;
  }
  static std::uint16_t unpack_bound(std::uint64_t v) {
    return v == kNone ? Bounds::kNoValue : static_cast<std::uint16_t>(v);
  }
  static Bounds bounds_of(std::uint64_t word) {
    std::uint64_t const bits = word >> Packing::kBoundsShift;
    return {unpack_bound(bits & kNone), unpack_bound(bits >> 12 & kNone)};
  }
  static std::uint64_t with_bounds(std::uint64_t word, Bounds const& b) {
    std::uint64_t const bits = pack_bound(b.lower, kNone - 1) | pack_bound(b.upper, kNone) << 12;
    return (word & ~kBoundBits) | bits << Packing::kBoundsShift;
  }

  std::size_t max_bytes_;
  bool shared_;
  std::atomic<std::uint64_t> shape_{0};
  std::unique_ptr<Shard[]> shards_;
  std::atomic<std::size_t> size_{0};
  std::atomic<std::size_t> bytes_{0};
};

template <class Packing>
struct BoundSlots<Packing>::Array {
  explicit Array(std::size_t slot_count)
      : mask(slot_count - 1),
        control(new std::atomic<std::uint8_t>[slot_count]),
        slots(new Slot[slot_count]) {
    for (std::size_t i = 0; i < slot_count; ++i)
      control[i].store(0, std::memory_order_relaxed);
  }
  std::size_t slot_count() const { return mask + 1; }
  // Filled up to 7/8 of its slots: linear probes stay short, and a miss ends at an empty slot.
  bool full() const { return used + 1 > slot_count() / 8 * 7; }
  static std::size_t bytes_for(std::size_t slot_count) { return slot_count * (sizeof(Slot) + 1); }

  std::size_t mask;
  std::unique_ptr<std::atomic<std::uint8_t>[]> control;
  std::unique_ptr<Slot[]> slots;
  std::size_t used = 0;  // changed by writers only, under the shard's mutex
};

template <class Packing>
struct alignas(64) BoundSlots<Packing>::Shard {
  std::atomic<Array*> array{nullptr};  // what readers read
  std::mutex mutex;                    // taken by writers of a shared table
  std::unique_ptr<Array> current;
  std::vector<std::unique_ptr<Array>> retired;  // readers may still be in these
};

template <class Packing>
typename BoundSlots<Packing>::Place BoundSlots<Packing>::place_of(
    std::uint64_t const* words) const {
  std::uint64_t const hash = Packing::hash(words);
  Place p{&shards_[hash & (kShards - 1)],
          static_cast<std::size_t>(hash >> 6),
          static_cast<std::uint8_t>(0x80 | hash >> 57),
          {}};
  for (int w = 0; w < kWords; ++w)
    p.word[w] = words[w];
  return p;
}

template <class Packing>
bool BoundSlots<Packing>::holds(Array const& a, std::size_t i, Place const& p,
                                std::uint64_t* bounds) {
  Slot const& slot = a.slots[i];
  for (int w = 0; w < kWords; ++w) {
    std::uint64_t word = slot.word[w].load(std::memory_order_relaxed);
    if (w == Packing::kBoundsWord) {
      *bounds = word;
      word &= ~kBoundBits;
    }
    if (word != p.word[w]) return false;
  }
  return true;
}

template <class Packing>
std::optional<Bounds> BoundSlots<Packing>::find(Key const& key) const {
  if (Packing::shape(key) != shape_.load(std::memory_order_relaxed)) return std::nullopt;
  Place const p = place_of(key);
  Array const* a = p.shard->array.load(std::memory_order_acquire);
  if (!a) return std::nullopt;
  for (std::size_t i = p.start & a->mask;; i = (i + 1) & a->mask) {
    std::uint8_t const c = a->control[i].load(std::memory_order_acquire);
    if (c == 0) return std::nullopt;
    std::uint64_t bounds;
    if (c == p.control && holds(*a, i, p, &bounds)) return bounds_of(bounds);
  }
}

template <class Packing>
void BoundSlots<Packing>::prefetch(Key const& key) const {
  Place const p = place_of(key);
  Array const* a = p.shard->array.load(std::memory_order_acquire);
  if (!a) return;
  std::size_t const i = p.start & a->mask;
  __builtin_prefetch(&a->control[i]);
  __builtin_prefetch(&a->slots[i]);
}

template <class Packing>
template <class Change>
void BoundSlots<Packing>::change(Key const& key, Change&& change) {
  std::uint64_t const shape = Packing::shape(key);
  if (shape != shape_.load(std::memory_order_relaxed)) start_shape(shape);
  Place const p = place_of(key);
  Shard& shard = *p.shard;
  std::unique_lock<std::mutex> lock(shard.mutex, std::defer_lock);
  if (shared_) lock.lock();
  for (bool grown = false;; grown = true) {
    Array* a = shard.current.get();
    std::size_t i = a ? p.start & a->mask : 0;
    for (; a; i = (i + 1) & a->mask) {
      std::uint8_t const c = a->control[i].load(std::memory_order_relaxed);
      if (c == 0) break;
      std::uint64_t word;
      if (c == p.control && holds(*a, i, p, &word)) {
        Bounds b = bounds_of(word);
        change(b);
        a->slots[i].word[Packing::kBoundsWord].store(with_bounds(word, b),
                                                     std::memory_order_release);
        return;
      }
    }
    if (!grown && (!a || a->full())) {
      grow(shard);
      continue;
    }
    Bounds b;
    change(b);
    for (int w = 0; w < kWords; ++w) {
      std::uint64_t const word = w == Packing::kBoundsWord ? with_bounds(p.word[w], b) : p.word[w];
      a->slots[i].word[w].store(word, std::memory_order_relaxed);
    }
    a->control[i].store(p.control, std::memory_order_release);
    ++a->used;
    size_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
}

// Copies the shard's keys into an array twice the size, within the budget.
template <class Packing>
void BoundSlots<Packing>::grow(Shard& shard) {
  Array const* old = shard.current.get();
  std::size_t const slot_count = old ? 2 * old->slot_count() : kFirstSlots;
  std::size_t const more = Array::bytes_for(slot_count);
  if (max_bytes_ != 0 && bytes() + more > max_bytes_) throw BudgetExceeded{};
  auto grown = std::make_unique<Array>(slot_count);
  bytes_.fetch_add(more, std::memory_order_relaxed);
  for (std::size_t i = 0; old && i <= old->mask; ++i) {
    if (old->control[i].load(std::memory_order_relaxed) == 0) continue;
    std::uint64_t words[kWords];
    for (int w = 0; w < kWords; ++w)
      words[w] = old->slots[i].word[w].load(std::memory_order_relaxed);
    std::uint64_t const bounds = words[Packing::kBoundsWord];
    words[Packing::kBoundsWord] &= ~kBoundBits;
    Place const p = place_of(words);
    std::size_t j = p.start & grown->mask;
    while (grown->control[j].load(std::memory_order_relaxed) != 0)
      j = (j + 1) & grown->mask;
    for (int w = 0; w < kWords; ++w) {
      std::uint64_t const word = w == Packing::kBoundsWord ? bounds : words[w];
      grown->slots[j].word[w].store(word, std::memory_order_relaxed);
    }
    grown->control[j].store(p.control, std::memory_order_relaxed);
    ++grown->used;
  }
  shard.array.store(grown.get(), std::memory_order_release);
  retire(shard);
  shard.current = std::move(grown);
}

// Lets the shard's current array go, or keeps it for settle() while readers may be in it.
template <class Packing>
void BoundSlots<Packing>::retire(Shard& shard) {
  if (!shard.current) return;
  if (shared_) {
    shard.retired.push_back(std::move(shard.current));
  } else {
    bytes_.fetch_sub(Array::bytes_for(shard.current->slot_count()), std::memory_order_relaxed);
    shard.current.reset();
  }
}

template <class Packing>
void BoundSlots<Packing>::settle() {
  for (std::size_t s = 0; s < kShards; ++s) {
    for (std::unique_ptr<Array> const& a : shards_[s].retired)
      bytes_.fetch_sub(Array::bytes_for(a->slot_count()), std::memory_order_relaxed);
    shards_[s].retired.clear();
  }
}

template <class Packing>
void BoundSlots<Packing>::start_shape(std::uint64_t shape) {
  for (std::size_t s = 0; s < kShards; ++s) {
    Shard& shard = shards_[s];
    std::unique_lock<std::mutex> lock(shard.mutex, std::defer_lock);
    if (shared_) lock.lock();
    shard.array.store(nullptr, std::memory_order_release);
    retire(shard);
  }
  size_ = 0;
  shape_ = shape;
}
