// A well-formed board packed into 128 bits: the key of every table and the board of the search.
//
// Stack code. A stack of capacity H whose L lowest slots hold items c_0 .. c_{L-1} (bottom
// first, each a target or an other item) and whose other slots are empty is coded by its rank
// among all such stacks in the order sort_stacks uses: lexicographic, slot 0 first, with
// empty < target < other. That order is the preorder of the binary tree of stacks, so the rank
// grows by 1 when a target is put on a stack of height j, and by 2^(H-j) when an other item is
// (jumping over the 2^(H-j) - 1 stacks that continue with a target instead). The empty stack is
// 0 and the full stack of other items 2^(H+1) - 2: a code takes H + 1 bits, and comparing two
// codes compares the two stacks as sort_stacks does, so sorting codes is sorting stacks.
//
// Board. The code of stack i takes bits [i(H+1), (i+1)(H+1)) of the 128-bit number hi:lo; the
// top 24 bits are a header:
//   bits 104..108  n_stacks                   (0 .. 31)
//   bits 109..113  max_height                 (0 .. 31)
//   bit  114       a request is pending
//   bits 115..119  request stack              (0 when none)
//   bits 120..124  request slot               (0 when none)
//   bits 125..127  always 0
// So the codes may take at most 104 bits: n_stacks x (max_height + 1) <= 104. Two packed boards
// are equal exactly when the boards are equal as State::operator== sees them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/state.h"

__extension__ typedef unsigned __int128 Bits128;

inline constexpr int kMaxPackedStacks = 31;
inline constexpr int kMaxPackedHeight = 31;
inline constexpr int kPackedCodeBits = 104;

// What putting item (kTarget or kOther) on a stack of height `slot` adds to its code.
constexpr std::uint32_t code_step(int max_height, int slot, int item) {
  return item == kTarget ? 1u : 1u << (max_height - slot);
}

// Writes the cells of the stack with this code into cells[0 .. max_height) and returns its
// height.
int decode_stack(std::uint32_t code, int max_height, int* cells);

struct PackedBoard {
  std::uint64_t lo = 0;
  std::uint64_t hi = 0;

  Bits128 bits() const { return (Bits128{hi} << 64) | lo; }
  static PackedBoard from_bits(Bits128 b) {
    return {static_cast<std::uint64_t>(b), static_cast<std::uint64_t>(b >> 64)};
  }

  int n_stacks() const { return field(104, 5); }
  int max_height() const { return field(109, 5); }
  bool has_request() const { return field(114, 1) != 0; }
  int request_stack() const { return has_request() ? field(115, 5) : -1; }
  int request_slot() const { return has_request() ? field(120, 5) : -1; }
  std::uint32_t code(int i) const {
    int const width = max_height() + 1;
    return static_cast<std::uint32_t>((bits() >> (i * width)) & ((Bits128{1} << width) - 1));
  }

  PackedBoard with_request(int stack, int slot) const;
  PackedBoard without_request() const;

  // The board of these dimensions whose stacks have codes[0 .. n_stacks), no request pending.
  static PackedBoard from_codes(int n_stacks, int max_height, std::uint32_t const* codes) {
    int const width = max_height + 1;
    Bits128 b = (Bits128(n_stacks) << 104) | (Bits128(max_height) << 109);
    for (int i = 0; i < n_stacks; ++i)
      b |= Bits128{codes[i]} << (i * width);
    return from_bits(b);
  }

  friend bool operator==(PackedBoard const&, PackedBoard const&) = default;

 private:
  int field(int at, int width) const {
    return static_cast<int>((hi >> (at - 64)) & ((std::uint64_t{1} << width) - 1));
  }
};

struct PackedBoardHash {
  std::size_t operator()(PackedBoard const& b) const {
    Bits128 const product = Bits128{b.lo ^ (b.hi * 0xc2b2ae3d27d4eb4full)} * 0x9e3779b97f4a7c15ull;
    return static_cast<std::size_t>(product ^ (product >> 64));
  }
};

// Whether boards of these dimensions can be packed at all.
bool fits_packing(int n_stacks, int max_height);

// Empty when the board can be packed; otherwise why not, in words fit for a user.
std::string packing_problem(State const& board);

// Packs a board; throws std::invalid_argument (with packing_problem's words) when the board is
// too big, has a gap, a cell other than 0, 1 or 2, or a request that names no target.
PackedBoard pack(State const& board);
State unpack(PackedBoard const& board);
