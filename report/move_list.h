// A line of play written as a move list (see board_io/move_list_form.h), for a researcher to
// check or to compare with another solver's: comments first (the yard, the order and the value;
// what the list counts; the form of a move), then for each request a comment with its cost and
// the moves that serve it, in the columns as given.
#pragma once

#include <string>
#include <vector>

#include "replay/column_line.h"

struct MoveListHead {
  std::string yard;     // the yard as given, on one line
  std::string order;    // "worst", "best", "random"
  std::string outcome;  // "value 19", or the bounds of a search that stopped
};

// `costs` holds, for every step, its cost as the reports write it ("11", "6 to 8");
// `groups` says whether to name each request's group (yards of groups) or not (two-class boards).
std::string move_list_text(MoveListHead const& head, std::vector<ColumnStep> const& steps,
                           std::vector<std::string> const& costs, bool groups);
