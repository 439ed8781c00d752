// Boards whose value needs no search: when the retrieving side can move every item above a
// lowest target once, to where it never has to move again, the board is worth exactly S (the
// items above the lowest targets, see search/lower_bound.h), whatever the order of requests.
//
// Such a place exists for every item at once when the stacks without targets have room for
// them all, kept apart: each target above a lowest target gets a stack of its own to land on,
// where it is on top until it leaves (the stacks with the least room are given to them), and
// the other items above lowest targets fit in the free slots of the rest, which they never
// leave. Items below the lowest target of a stack are other items and never move. Room that
// retrievals free later is not counted: the test asks only for what is enough now.
#pragma once

#include "model/working_board.h"

// S when the test above shows the board is worth S; otherwise -1.
int settled_value(WorkingBoard const& board);
