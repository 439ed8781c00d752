// A lower bound on the moves still needed by a yard whose every group holds one item, so that
// the order of retrieval is known: the bound of a fixed order (see retrieval_order_bound) with
// the one order there is, worked out without ranking or sorting anything, since the search
// takes it on every child it makes. On the first request it is also at least the items that
// find no free slot on a stack where they would not be blocked.
#pragma once

#include "model/grouped_board.h"

// Whether no two items of the board share a group (items that stay aside).
bool one_item_a_group(GroupedBoard const& board);

// The board must hold one item a group.
int known_order_bound(GroupedBoard const& board);
