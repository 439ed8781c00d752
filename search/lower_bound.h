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
