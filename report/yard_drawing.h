// A yard of retrieval groups drawn as State::print draws a board: the top slot first, between
// rulers of '-' and bars, each cell its group number, 'x' an item that stays, '.' an empty slot.
#pragma once

#include <string>
#include <utility>

#include "model/state.h"
#include "model/yard.h"

// Every cell is right-aligned to the width of the largest group number, so that columns stay
// put along a line of play; wider than one character, cells are parted by a space. The cell
// at `request` (stack, slot) is highlighted as State::print highlights a requested target.
std::string yard_drawing(Yard const& yard, std::pair<int, int> request = kNoRequest);
