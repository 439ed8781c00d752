// Lower bounds on the expected moves of a yard of groups in the random order, where every item
// of the current group still in the yard is equally likely to be asked for next.
//
// By linearity of expectation, the yard is worth at least the sum over its items of the chance
// that each must move: 1 for an item with an item of an earlier group beneath it (and for an
// item that stays with anything that leaves beneath it); k/(k + 1) for an item with k items of
// its own group beneath it and none earlier, since it leaves before all of them with chance
// 1/(k + 1); 0 otherwise. A request then lifts its items, each one move, and each lifted item
// that can reach no stack without an earlier group beneath it moves once more for certain, or,
// where the best it can reach is a stack of k items of its own group, with chance k/(k + 1);
// the yard is worth at least the mean of its requests' bounds. The best order's bound of a
// fixed order (search/bounds/group_bound.h) bounds the random order too: the retrieving side told
// nothing does no better than one that picks. And the retrieving side told the whole order
// does no better than one told nothing: to the chances to move once add, from the walk of that
// fixed order, the chance of each lifted item to find no stack that takes it unblocked
// (random_order_figures), for the board, and for a request on the yard it leaves.
#pragma once

#include <cstdint>

#include "model/grouped_board.h"
#include "rules/moves.h"

// The sum of the chances that the items must move.
Fraction expected_blocked(GroupedBoard const& board);

// The bound on the request at (stack, slot), given expected_blocked.
Fraction expected_request_bound(GroupedBoard const& board, int stack, int slot,
                                Fraction const& blocked);

// The bound on the board: the largest of the four; or, once the cheaper ones reach `enough`,
// the larger of those.
Moves expected_lower_bound(GroupedBoard const& board, Moves const& enough = Moves::no_placement());

// What the child of every completion of a placement half made, for a request at (stack,
// slot), is worth at least: the chances of the items placed to move again where they landed,
// the least sum of chances of those still to place (landed together on the stacks as they
// are now), and the other items' chances to move. The random order's GroupPlacementBound,
// without the lifted items' moves.
class ExpectedPlacementBound {
 public:
  ExpectedPlacementBound(GroupedBoard const& board, int stack, int slot);

  // placed: the board with placed_count items placed, the last on stack last. In units of
  // 1/denominator(), so that the search compares it with a goal in integers.
  std::int64_t after(GroupedBoard const& placed, int placed_count, int last);
  std::int64_t denominator() const { return denominator_; }

 private:
  int from_;
  int lifted_;
  int items_[kMaxGroupedHeight];  // the lifted items, top first
  std::int64_t denominator_;
  std::int64_t rest_units_;                           // the other items' chances to move
  std::int64_t placed_units_[kMaxGroupedHeight + 1];  // chances of those placed, by count
};
