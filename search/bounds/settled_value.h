// Boards whose value needs no search: when the retrieving side can move every item above a
// lowest target once, to where it never has to move again, the board is worth exactly S (the
// items above the lowest targets, see search/bounds/lower_bound.h), whatever the order of requests.
//
// Such a place exists for every item at once when the stacks without targets have room for
// them all, kept apart. A lifted target is parked on an open stack without targets of its own,
// on top until it leaves; the other items above lowest targets fit in the free slots of the
// stacks not kept for parking, which they never leave. Items below the lowest target of a stack
// are other items and never move. How many stacks parking needs: a stack with t targets above
// its lowest can have at most t - 1 of them lifted while its lowest stays (a request for its
// second target lifts those above it); lifting all t takes a request for its lowest target,
// after which the stack holds only other items and takes a parked target itself. So the
// requesting side can have at most (targets above lowest targets) - (stacks holding them) + 1
// parked at once beyond the stacks it empties, and those stacks, the ones with the least room,
// are kept for parking. Other room that retrievals free is not counted: the test asks only for
// what is enough now.
#pragma once

#include "model/working_board.h"

// S when the test above shows the board is worth S; otherwise -1.
int settled_value(WorkingBoard const& board);
