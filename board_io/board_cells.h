// The checks both board forms share once their text has been turned into cells.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "board_io/board_error.h"

// The slot of the lowest empty slot that has an item somewhere above it, or -1 when the stack
// has no gap.
int first_gap_slot(std::vector<int> const& stack);

// The error for a board of these dimensions when it is too big to pack, in packing_problem's
// words, found before any cell is copied.
std::optional<BoardError> size_problem(std::size_t n_stacks, std::size_t height);

// The board of these stacks (bottom slot first, all of one height, no gaps), or the error for
// a board with no stacks, no capacity, or more than a packed board can hold.
ParsedBoard board_from_cells(std::vector<std::vector<int>> const& stacks);
