// The tables of the proof search (search/proof/bound_slots.h) for each kind of key. A two-class
// board's slot is its packed board, 16 bytes: the low 64 code bits, then the top 40 code bits,
// the bounds in place of the 24 header bits (stacks and capacity, the same for every board of a
// table). A grouped yard's slot is its GroupKey of W words, the bounds in place of the 24 bits
// of the key's header (stacks, capacity and the cell of items that stay).
#pragma once

#include <cstdint>

#include "model/grouped_board.h"
#include "model/packed_board.h"
#include "search/proof/bound_slots.h"

struct PackedPacking {
  using Key = PackedBoard;
  static constexpr int kWords = 2;
  static constexpr int kBoundsWord = 1;
  static constexpr int kBoundsShift = 40;
  static std::uint64_t shape(PackedBoard const& board) { return board.hi >> 40; }
  static void words(PackedBoard const& board, std::uint64_t* out) {
    out[0] = board.lo;
    out[1] = board.hi & ((std::uint64_t{1} << 40) - 1);
  }
  static std::uint64_t hash(std::uint64_t const* words) {
    return PackedBoardHash()({words[0], words[1]});
  }
};
static_assert(sizeof(BoundSlots<PackedPacking>) > 0);

template <int W>
struct GroupKeyPacking {
  using Key = GroupKey<W>;
  static constexpr int kWords = W;
  static constexpr int kBoundsWord = 0;
  static constexpr int kBoundsShift = 0;
  static constexpr std::uint64_t kHeader = 0xffffff;
  static std::uint64_t shape(Key const& key) { return key.word[0] & kHeader; }
  static void words(Key const& key, std::uint64_t* out) {
    for (int w = 0; w < W; ++w)
      out[w] = key.word[w];
    out[0] &= ~kHeader;
  }
  static std::uint64_t hash(std::uint64_t const* words) {
    Key key;
    for (int w = 0; w < W; ++w)
      key.word[w] = words[w];
    return GroupKeyHash<W>()(key);
  }
};

using PackedBoundTable = BoundSlots<PackedPacking>;
using BoundTable = PackedBoundTable;
template <int W>
using GroupBoundTable = BoundSlots<GroupKeyPacking<W>>;
