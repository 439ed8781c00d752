// One self-contained page that steps through a line of play: the pictures of svg_picture, the
// request, moves, cost so far and value of every step, and with --requests the cost of every
// request on each board. Scripts and styles are inline and nothing is fetched, so the page
// works from a file, offline.
#pragma once

#include <string>

#include "replay_page/page_line.h"

// The page; `summary` is the line under its heading ("Minimum moves: 19").
std::string html_page(PageLine const& line, std::string const& summary);
