// One retrieval: the items above a requested target are lifted, the target leaves, and the
// lifted items are placed on the other stacks, one at a time and the top one first.
#pragma once

#include <array>
#include <cstdint>

#include "model/working_board.h"

// Board is a working board of either kind (WorkingBoard, GroupedBoard): stacks that items are
// pushed on and popped off in place, and a cheap test of whether two stacks hold the same cells.
template <class Board>
class Retrieval {
 public:
  // Takes the items above (stack, slot) and then the target itself off a copy of the board.
  Retrieval(Board const& board, int stack, int slot) : board_(board), from_(stack) {
    int const top = board_.level[stack] - 1;
    lifted_count_ = slot < top ? top - slot : 0;
    for (int i = 0; i < lifted_count_; ++i) {
      lifted_[i] = board_.top_item(stack);
      board_.pop(stack);
    }
    board_.pop(stack);
  }

  int from() const { return from_; }
  int lifted_count() const { return lifted_count_; }
  // The i-th item lifted, counted from the top.
  int lifted_item(int i) const { return lifted_[i]; }
  // The board with the items lifted and the target gone; during walk(), as placed so far.
  Board const& board() const { return board_; }
  // Whether the other stacks have room for every lifted item.
  bool fits() const {
    int room = 0;
    for (int s = 0; s < board_.n; ++s)
      room += s == from_ ? 0 : board_.free_slots(s);
    return room >= lifted_count_;
  }

  // Walks the placements in the order of gen_all_seq (the first item's stack varying slowest),
  // calling visit(board) on each complete one; visit returns false to end the walk. Before
  // item i is placed, skip(board, i, d) may cut off every placement that goes on from there;
  // d is the stack that item i - 1 went to (-1 for i = 0), so that skip can keep its own
  // figures up to date one item at a time.
  // Placements that can only give a child an earlier placement gave are not walked:
  //  - a placement that meets a full stack goes no further;
  //  - an item does not go to a stack holding the same cells as a lower-numbered stack it
  //    could go to: swapping the two stacks in the rest of the placement gives an earlier one
  //    with the same canonical child;
  //  - an item does not go to a stack d when an equal item lifted earlier went to a stack
  //    above d and nothing lifted in between went to either: swapping the two items' stacks
  //    gives an earlier placement with the same child.
  // The earliest placement of all that give one child survives all three, so every child is
  // visited, and first through its earliest placement. Returns false if visit ended the walk.
  template <class Skip, class Visit>
  bool walk(Skip&& skip, Visit&& visit) {
    return place(0, -1, skip, visit);
  }

 private:
  bool same_as_lower_candidate(int d) const {
    for (int e = 0; e < d; ++e) {
      if (e != from_ && board_.same_stack(e, d)) return true;
    }
    return false;
  }

  bool swaps_with_earlier_twin(int i, int d) const {
    std::uint64_t touched = 0;  // stacks that the items between item k and item i went to
    for (int k = i - 1; k >= 0; --k) {
      int const e = chosen_[k];
      if (lifted_[k] == lifted_[i] && d < e && !(touched & (std::uint64_t{1} << e))) return true;
      if (e == d) return false;
      touched |= std::uint64_t{1} << e;
    }
    return false;
  }

  template <class Skip, class Visit>
  bool place(int i, int last, Skip& skip, Visit& visit) {
    if (skip(static_cast<Board const&>(board_), i, last)) return true;
    if (i == lifted_count_) return visit(static_cast<Board const&>(board_));
    for (int d = 0; d < board_.n; ++d) {
      if (d == from_ || board_.full(d) || same_as_lower_candidate(d) ||
          swaps_with_earlier_twin(i, d)) {
        continue;
      }
      board_.push(d, lifted_[i]);
      chosen_[i] = d;
      bool const go_on = place(i + 1, d, skip, visit);
      board_.pop(d);
      if (!go_on) return false;
    }
    return true;
  }

  Board board_;
  int from_;
  int lifted_count_ = 0;
  std::array<int, Board::kMaxHeight> lifted_{};
  std::array<int, Board::kMaxHeight> chosen_{};
};

// For walks that cut nothing off.
inline constexpr auto kSkipNothing = [](auto const&, int, int) { return false; };
