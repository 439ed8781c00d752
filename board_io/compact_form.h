// The compact form of a board: stacks separated by '/', each written bottom slot first as
// digits 0 (empty), 1 (target) and 2 (other item), all of the same length, the capacity.
// "12/00" is a target under another item beside an empty stack.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "board_io/board_error.h"

// Far beyond the longest board that packs; longer text is refused before any work on it.
inline constexpr std::size_t kMaxCompactLength = 4096;

// The board written in `text`, stacks in the order written. Blanks (spaces, tabs, line ends)
// around the text are ignored; anywhere else they are an error. Columns in errors count from 1
// at the first byte of `text`.
ParsedBoard parse_compact_board(std::string_view text);

// The board in compact form; cells other than 0 and 1 are written as 2, as the drawing does.
std::string format_compact_board(State const& board);
