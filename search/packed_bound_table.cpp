#include "search/packed_bound_table.h"

namespace {

constexpr std::uint64_t kCodes = (std::uint64_t{1} << 40) - 1;  // of a slot's hi
constexpr std::uint64_t kNone = 0xfff;                          // a bound of no placement

// A bound of no placement as kNone, a number too big for 12 bits as `too_big`.
std::uint64_t pack_bound(std::uint16_t v, std::uint64_t too_big) {
  if (v == Bounds::kNoValue) return kNone;
  return v < kNone ? v : too_big;
}
std::uint16_t unpack_bound(std::uint64_t v) {
  return v == kNone ? Bounds::kNoValue : static_cast<std::uint16_t>(v);
}
Bounds bounds_of(std::uint64_t hi) {
  return {unpack_bound(hi >> 40 & kNone), unpack_bound(hi >> 52 & kNone)};
}
std::uint64_t with_bounds(std::uint64_t hi, Bounds const& b) {
  return (hi & kCodes) | pack_bound(b.lower, kNone - 1) << 40 | pack_bound(b.upper, kNone) << 52;
}

constexpr std::size_t kFirstSlots = 64;

}  // namespace

struct PackedBoundTable::Array {
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

struct alignas(64) PackedBoundTable::Shard {
  std::atomic<Array*> array{nullptr};  // what readers read
  std::mutex mutex;                    // taken by writers of a shared table
  std::unique_ptr<Array> current;
  std::vector<std::unique_ptr<Array>> retired;  // readers may still be in these
};

// Where a board goes: its shard, the slot its probe starts at (before masking), its control
// byte, and its slot's hi word without bounds.
struct PackedBoundTable::Place {
  Shard* shard;
  std::size_t start;
  std::uint8_t control;
  std::uint64_t hi;
};

PackedBoundTable::PackedBoundTable(std::size_t max_bytes, bool shared)
    : max_bytes_(max_bytes), shared_(shared), shards_(new Shard[kShards]) {}

PackedBoundTable::~PackedBoundTable() = default;

PackedBoundTable::Place PackedBoundTable::place_of(PackedBoard const& board) const {
  std::uint64_t const hi = board.hi & kCodes;
  std::uint64_t const hash = PackedBoardHash()({board.lo, hi});
  return {&shards_[hash & (kShards - 1)], static_cast<std::size_t>(hash >> 6),
          static_cast<std::uint8_t>(0x80 | hash >> 57), hi};
}

std::optional<Bounds> PackedBoundTable::find(PackedBoard const& board) const {
  if (board.hi >> 40 != shape_.load(std::memory_order_relaxed)) return std::nullopt;
  Place const p = place_of(board);
  Array const* a = p.shard->array.load(std::memory_order_acquire);
  if (!a) return std::nullopt;
  for (std::size_t i = p.start & a->mask;; i = (i + 1) & a->mask) {
    std::uint8_t const c = a->control[i].load(std::memory_order_acquire);
    if (c == 0) return std::nullopt;
    if (c != p.control) continue;
    Slot const& slot = a->slots[i];
    std::uint64_t const hi = slot.hi.load(std::memory_order_relaxed);
    if (slot.lo.load(std::memory_order_relaxed) == board.lo && (hi & kCodes) == p.hi) {
      return bounds_of(hi);
    }
  }
}

void PackedBoundTable::prefetch(PackedBoard const& board) const {
  Place const p = place_of(board);
  Array const* a = p.shard->array.load(std::memory_order_acquire);
  if (!a) return;
  std::size_t const i = p.start & a->mask;
  __builtin_prefetch(&a->control[i]);
  __builtin_prefetch(&a->slots[i]);
}

void PackedBoundTable::raise_lower(PackedBoard const& board, int lower) {
  change(board, [&](Bounds& b) {
    if (lower > b.lower) b.lower = stored_bound(lower);
  });
}

void PackedBoundTable::cut_upper(PackedBoard const& board, int upper) {
  change(board, [&](Bounds& b) {
    if (upper < b.upper) b.upper = stored_bound(upper);
  });
}

template <class Change>
void PackedBoundTable::change(PackedBoard const& board, Change&& change) {
  if (board.hi >> 40 != shape_.load(std::memory_order_relaxed)) start_shape(board.hi >> 40);
  Place const p = place_of(board);
  Shard& shard = *p.shard;
  std::unique_lock<std::mutex> lock(shard.mutex, std::defer_lock);
  if (shared_) lock.lock();
  for (bool grown = false;; grown = true) {
    Array* a = shard.current.get();
    std::size_t i = a ? p.start & a->mask : 0;
    for (; a; i = (i + 1) & a->mask) {
      std::uint8_t const c = a->control[i].load(std::memory_order_relaxed);
      if (c == 0) break;
      Slot& slot = a->slots[i];
      std::uint64_t const hi = slot.hi.load(std::memory_order_relaxed);
      if (c == p.control && slot.lo.load(std::memory_order_relaxed) == board.lo &&
          (hi & kCodes) == p.hi) {
        Bounds b = bounds_of(hi);
        change(b);
        slot.hi.store(with_bounds(hi, b), std::memory_order_release);
        return;
      }
    }
    if (!grown && (!a || a->full())) {
      grow(shard);
      continue;
    }
    Bounds b;
    change(b);
    a->slots[i].lo.store(board.lo, std::memory_order_relaxed);
    a->slots[i].hi.store(with_bounds(p.hi, b), std::memory_order_relaxed);
    a->control[i].store(p.control, std::memory_order_release);
    ++a->used;
    size_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
}

// Copies the shard's boards into an array twice the size, within the budget.
void PackedBoundTable::grow(Shard& shard) {
  Array const* old = shard.current.get();
  std::size_t const slot_count = old ? 2 * old->slot_count() : kFirstSlots;
  std::size_t const more = Array::bytes_for(slot_count);
  if (max_bytes_ != 0 && bytes() + more > max_bytes_) throw BudgetExceeded{};
  auto grown = std::make_unique<Array>(slot_count);
  bytes_.fetch_add(more, std::memory_order_relaxed);
  for (std::size_t i = 0; old && i <= old->mask; ++i) {
    if (old->control[i].load(std::memory_order_relaxed) == 0) continue;
    std::uint64_t const lo = old->slots[i].lo.load(std::memory_order_relaxed);
    std::uint64_t const hi = old->slots[i].hi.load(std::memory_order_relaxed);
    Place const p = place_of(PackedBoard{lo, hi});
    std::size_t j = p.start & grown->mask;
    while (grown->control[j].load(std::memory_order_relaxed) != 0)
      j = (j + 1) & grown->mask;
    grown->slots[j].lo.store(lo, std::memory_order_relaxed);
    grown->slots[j].hi.store(hi, std::memory_order_relaxed);
    grown->control[j].store(p.control, std::memory_order_relaxed);
    ++grown->used;
  }
  shard.array.store(grown.get(), std::memory_order_release);
  retire(shard);
  shard.current = std::move(grown);
}

// Lets the shard's current array go, or keeps it for settle() while readers may be in it.
void PackedBoundTable::retire(Shard& shard) {
  if (!shard.current) return;
  if (shared_) {
    shard.retired.push_back(std::move(shard.current));
  } else {
    bytes_.fetch_sub(Array::bytes_for(shard.current->slot_count()), std::memory_order_relaxed);
    shard.current.reset();
  }
}

void PackedBoundTable::settle() {
  for (std::size_t s = 0; s < kShards; ++s) {
    for (std::unique_ptr<Array> const& a : shards_[s].retired)
      bytes_.fetch_sub(Array::bytes_for(a->slot_count()), std::memory_order_relaxed);
    shards_[s].retired.clear();
  }
}

void PackedBoundTable::start_shape(std::uint64_t shape) {
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
