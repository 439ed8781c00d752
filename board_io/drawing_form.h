// The drawing form of a board, as State::print draws it, so that a drawing copied from any
// output can be read back:
//
//   -----      a ruler of '-' (optional, its length is not checked)
//   |   |      one row per slot, the top slot first, each between two '|':
//   | x |      'o' a target, 'x' an other item, ' ' or '.' an empty slot
//   | *x|      ('*' a target too: the requested one, drawn without colour)
//   -----      a closing ruler (optional)
//    012       the column numbers (optional; one line a digit when they are wide)
//
// Verdicts on what copying and editing leave in a drawing:
// - line ends: "\n" or "\r\n"; a last line with or without a line end;
// - blank lines (spaces and tabs only) before and after the drawing are skipped; a blank
//   line between two rows is an error, as it would split the board;
// - blanks before the opening '|' and after the closing '|' are ignored; between the bars
//   every character is a slot, so a tab there is an error (it has no width in slots);
// - colour codes (ESC '[' digits and ';' 'm'), such as the highlight around a requested
//   cell, are ignored wherever they stand; any other escape sequence is an error;
// - rows of unequal width, text after the closing ruler other than blank lines and lines of
//   digits and blanks, and a second drawing are errors.
#pragma once

#include <cstddef>
#include <string_view>

#include "board_io/board_error.h"

// No board that packs is drawn in more than a few kilobytes, even with every cell
// highlighted; longer input is refused before any work on it.
inline constexpr std::size_t kMaxDrawingBytes = std::size_t{1} << 20;

// The board drawn in `text`, stacks from left to right. Errors name the line and column
// (counted from 1, in bytes) and, for a gap, the stack.
ParsedBoard parse_drawing(std::string_view text);
