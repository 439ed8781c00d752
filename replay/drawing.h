// Yards drawn for people: the top slot first between rulers of '-' and bars, with the number
// of every column under the drawing, and the requested cell marked in colour for a terminal or
// by a character that a plain log keeps.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "model/state.h"
#include "model/yard.h"

enum class Glyphs {
  two_class,  // 'o' a target (group 1), 'x' any other item, ' ' an empty slot, as State::print
  groups,     // each item its group number, 'x' an item that stays, '.' an empty slot
};

enum class Marking {
  colour,  // the cell on the terminal codes of State::print
  plain,   // the cell drawn as '*'
};

struct DrawingStyle {
  Glyphs glyphs = Glyphs::two_class;
  Marking marking = Marking::colour;
  bool ruler = true;  // the column numbers under the drawing
};

// The text of an item as the glyphs draw it.
std::string item_text(Yard const& yard, int cell, Glyphs glyphs);

// The yard with the cell at `request` (stack, slot) marked. With groups every cell is
// right-aligned to the width of the largest group number, cells parted by a space once that is
// more than one character, so that columns stay put along a line of play.
std::string drawing(Yard const& yard, std::pair<int, int> request, DrawingStyle style);

// The column numbers under cells of `width` characters parted by `gap`, after the one
// character of the left bar: one line when every number fits its cell, else one line a digit,
// read downwards.
std::string column_ruler(int n_stacks, std::size_t width, std::size_t gap);
