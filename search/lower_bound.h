// Cheap lower bounds on the moves still needed, for cutting the search short.
//
// Every item above the lowest target of a stack has to be moved at least once, whatever the
// order of requests: the requesting side can always ask for that lowest target first, and the
// items lifted then only ever add to the count of the stacks they land on. So the sum S of
// those counts over all stacks is a lower bound. One ply better: when the lowest target of a
// stack with a items above it is asked for, at most F of them (F: the free slots on stacks
// without a target) can land where they add nothing, so the board is worth at least
// S + max(0, a - F) for its deepest such stack.
#pragma once

#include <algorithm>

#include "model/working_board.h"

// S: items above the lowest target, summed over the stacks.
int items_above_lowest_targets(WorkingBoard const& board);

// F, leaving out stack `except` (the stack being emptied, which takes no items); pass -1 to
// leave out none.
int free_slots_without_targets(WorkingBoard const& board, int except);

// a: the most items above the lowest target of any one stack.
int deepest_above_lowest_target(WorkingBoard const& board);

// The one-ply bound S + max(0, a - F).
int moves_lower_bound(WorkingBoard const& board);

// A lower bound on the cost of a request that lifts `lifted` items, on a board with S = above
// and F = free: as the board's bound, but for that one request. A target that is not the
// lowest of its stack was itself counted in S, so asking for it gives one less.
inline int request_lower_bound(int above, int free, int lifted, bool lowest_of_its_stack) {
  return above - (lowest_of_its_stack ? 0 : 1) + (lifted > free ? lifted - free : 0);
}

// The bound S + max(0, items left - F) + max(0, a - F) kept up to date one item at a time while
// a retrieval's lifted items are placed, so that a placement that cannot bring its child below
// a goal is cut off before it is finished. Placing items only raises S and a and only lowers
// F; of the items still to place, at most F can land where they add nothing, so the figures
// taken part way bound every child below. The stack being emptied takes no items now but
// counts in its child's F.
class PlacementBound {
 public:
  PlacementBound(int lifted, int from) : lifted_(lifted), from_(from) {}

  // The bound on every child below the placement of the first `placed_count` items, the last
  // of them put on stack `last`. Called in the order of a depth-first walk: for placed_count
  // i > 0 the figures of i - 1 are those of the same walk.
  int after(WorkingBoard const& placed, int placed_count, int last);
  // The bound on the child of a finished placement (after() called with every item placed).
  int child() const {
    return above_[lifted_] + std::max(0, deepest_[lifted_] - free_[lifted_] - free_from_);
  }

 private:
  int lifted_;
  int from_;
  int free_from_ = 0;
  // By items placed: S, F and a.
  int above_[kMaxPackedHeight + 1] = {};
  int free_[kMaxPackedHeight + 1] = {};
  int deepest_[kMaxPackedHeight + 1] = {};
};

// Inline: it runs at every item of every placement walked, the search's innermost loop.
inline int PlacementBound::after(WorkingBoard const& placed, int i, int last) {
  if (i == 0) {
    above_[0] = items_above_lowest_targets(placed);
    free_[0] = free_slots_without_targets(placed, from_);
    deepest_[0] = deepest_above_lowest_target(placed);
    free_from_ = placed.targets(from_) == 0 ? placed.free_slots(from_) : 0;
  } else {
    int const top = placed.level[last] - 1;
    above_[i] = above_[i - 1];
    free_[i] = free_[i - 1];
    if ((placed.targets(last) & ((1u << top) - 1)) != 0) {
      ++above_[i];  // the item landed above a target
    } else if (placed.item_at(last, top) == kOther) {
      --free_[i];  // an other item took a slot where it adds nothing
    } else {
      free_[i] -= placed.height - top;  // a target: the stack no longer counts as free
    }
    deepest_[i] = std::max(deepest_[i - 1], placed.above_lowest_target(last));
  }
  return above_[i] + std::max(0, lifted_ - i - free_[i]) +
         std::max(0, deepest_[i] - free_[i] - free_from_);
}
