// A lower bound of the worst order from a known order. The requesting side may commit to any
// order of retrieval its groups allow, and then the yard is worth at least what that known
// order costs, so every lower bound of the known order (search/bounds/known_order_bound.h, with the
// moved items kept) bounds the worst order too. The order committed to: the groups in turn,
// inside a group the lowest slot first, then the leftmost stack, which makes an item above
// another of its group move.
#pragma once

#include "model/grouped_board.h"

// Whether the board has few enough items for the bound: each item takes a cell of its own.
bool committed_order_fits(GroupedBoard const& board);

// The bound on a board of worst order; `need` as for known_order_bound: past the first count
// only as far as it decides whether the board is worth more than `need`. The board must fit.
int committed_order_bound(GroupedBoard const& board, int need);
