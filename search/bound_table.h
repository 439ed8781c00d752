// What the search has proved about boards in the request phase: a lower and an upper bound on
// each one's value, kept across searches, inside a memory budget.
#pragma once

#include <boost/unordered/unordered_flat_map.hpp>
#include <cstddef>
#include <cstdint>
#include <limits>

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

  // max_bytes 0: no budget.
  explicit BasicBoundTable(std::size_t max_bytes) : max_bytes_(max_bytes) {}

  Bounds const* find(Key const& board) const {
    auto it = map_.find(board);
    return it == map_.end() ? nullptr : &it->second;
  }
  // Raises the lower bound to at least `lower` (values are clamped to what a slot holds).
  void raise_lower(Key const& board, int lower) {
    Bounds& b = slot(board);
    if (lower > b.lower) b.lower = clamp(lower);
  }
  void cut_upper(Key const& board, int upper) {
    Bounds& b = slot(board);
    if (upper < b.upper) b.upper = clamp(upper);
  }

  std::size_t size() const { return map_.size(); }
  // Memory the table holds now: its slots and their one-byte-a-slot metadata.
  std::size_t bytes() const { return bytes_for(map_.bucket_count()); }

 private:
  static std::uint16_t clamp(int v) {
    return v >= Bounds::kNoValue ? Bounds::kNoValue : static_cast<std::uint16_t>(v < 0 ? 0 : v);
  }
  static std::size_t bytes_for(std::size_t slots) { return slots * (sizeof(Entry) + 1); }

  Bounds& slot(Key const& board) {
    if (map_.size() >= map_.max_load() && max_bytes_ != 0) {
      // Growing doubles the slots, and the old array lives until the new one is filled.
      std::size_t const grown = bytes_for(2 * map_.bucket_count() + 32);
      if (bytes() + grown > max_bytes_ && map_.find(board) == map_.end()) throw BudgetExceeded{};
    }
    return map_[board];
  }

  std::size_t max_bytes_;
  Map map_;
};

using BoundTable = BasicBoundTable<PackedBoard, PackedBoardHash>;

static_assert(sizeof(BoundTable::Entry) == 24, "bound table slot: 16-byte key, two bounds");
