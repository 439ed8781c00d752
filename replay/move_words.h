// The words of a line of play in the user's columns, shared by the reports and the game.
#pragma once

#include <string>

#include "replay/column_line.h"
#include "replay/drawing.h"

// "stack 2, slot 1".
std::string cell_words(int column, int slot);

// "Moves (2): 1->0 (x), 1->3 (o)": how many items the step moved, then each from its column to
// the column it landed on, with the item as the drawings show it, in the order they were
// lifted. "Moves (0): none" for a step that moved nothing.
std::string moves_line(ColumnStep const& step, Glyphs glyphs);
