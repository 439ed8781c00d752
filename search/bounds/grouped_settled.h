// Yards of retrieval groups whose value needs no search: when every item that must move (the
// B of search/bounds/group_bound.h, or in the random order each item with a chance to move)
// can be moved once, whatever the order of requests, to where it never moves again, each
// moves exactly once: the yard is worth B in the worst and best orders, and the sum of the
// chances to move (search/bounds/expected_bound.h) in the random order.
//
// A stack that holds no item that must move is clean: an item of it leaves before every item
// beneath it (in the best order, no later), so nothing is ever lifted from it, and its least
// group only rises. A stack with blocked items becomes clean once the lowest of them is lifted,
// by the turn of the least group beneath it at the latest. An item that leaves is parked on top
// of a clean stack whose items all leave after it (no earlier, in the best order), and leaves
// from there at no cost. It is lifted in the turn of the least group beneath it and may stay
// parked until its own group's turn; over those turns its stack parks nothing else. An item
// that stays goes to a free slot of a stack of items that stay, which never lifts anything and
// parks nothing. The items are given stacks the earliest lifted first, each the stack of least
// group that takes it, so that stacks of items that stay, which take any, go last.
#pragma once

#include "model/grouped_board.h"

// Whether the board's items that must move can all be moved once to where they stay until
// they leave. `strict`: an item of the same group beneath counts (the worst and random orders).
bool parks_every_blocked_item(GroupedBoard const& board, bool strict);
