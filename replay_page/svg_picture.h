// One step of a line as a standalone SVG picture: the yard in the columns as given, each item
// coloured by its group (two-class yards: targets and other items) with a legend, columns and
// slots numbered, the requested item framed, and each lifted item's move drawn as an arrow to
// the slot it lands on, numbered in the order lifted.
#pragma once

#include <string>

#include "replay_page/page_line.h"

// Step `step` of `line` (0 the start, then the requests, the last the end); every step of a
// line is drawn the same size, so that a page stepping through them does not jump.
std::string step_svg(PageLine const& line, std::size_t step);
