// A packed board opened up for play: stacks that items can be taken from and put on in place,
// each kept as its code (see packed_board.h), its height and a mask of its other items, so that
// a move costs a few instructions and the board packs again with one sort of the codes.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "model/packed_board.h"

struct WorkingBoard {
  static constexpr int kMaxHeight = kMaxPackedHeight;

  int n = 0;       // stacks
  int height = 0;  // capacity of each stack
  std::array<std::uint32_t, kMaxPackedStacks> code{};
  std::array<std::uint32_t, kMaxPackedStacks> others{};  // bit j: slot j holds an other item
  std::array<int, kMaxPackedStacks> level{};             // occupied slots

  explicit WorkingBoard(PackedBoard const& board)
      : n(board.n_stacks()), height(board.max_height()) {
    int cells[kMaxPackedHeight];
    for (int i = 0; i < n; ++i) {
      code[i] = board.code(i);
      level[i] = decode_stack(code[i], height, cells);
      for (int j = 0; j < level[i]; ++j)
        others[i] |= std::uint32_t{cells[j] == kOther} << j;
    }
  }

  bool same_stack(int a, int b) const { return code[a] == code[b]; }
  int top_item(int s) const { return (others[s] >> (level[s] - 1)) & 1u ? kOther : kTarget; }
  int item_at(int s, int slot) const { return (others[s] >> slot) & 1u ? kOther : kTarget; }
  bool full(int s) const { return level[s] == height; }
  int free_slots(int s) const { return height - level[s]; }

  // Bit j set when slot j of stack s holds a target.
  std::uint32_t targets(int s) const { return ~others[s] & ((std::uint64_t{1} << level[s]) - 1); }
  // Items above the lowest target of stack s; 0 when it holds none.
  int above_lowest_target(int s) const {
    std::uint32_t const t = targets(s);
    return t == 0 ? 0 : level[s] - 1 - std::countr_zero(t);
  }

  void pop(int s) {
    int const item = top_item(s);
    --level[s];
    code[s] -= code_step(height, level[s], item);
    others[s] &= ~(std::uint32_t{1} << level[s]);
  }

  void push(int s, int item) {
    code[s] += code_step(height, level[s], item);
    others[s] |= std::uint32_t{item == kOther} << level[s];
    ++level[s];
  }

  // The board as it stands, stacks sorted into canonical order, no request.
  PackedBoard canonical() const {
    std::array<std::uint32_t, kMaxPackedStacks> sorted;
    // Insertion sort: a handful of codes, nearly in order already (the board was canonical
    // before a retrieval changed a few of its stacks).
    for (int i = 0; i < n; ++i) {
      std::uint32_t const c = code[i];
      int k = i;
      for (; k > 0 && sorted[k - 1] > c; --k)
        sorted[k] = sorted[k - 1];
      sorted[k] = c;
    }
    return PackedBoard::from_codes(n, height, sorted.data());
  }
};
