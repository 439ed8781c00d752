// A move list replayed on a yard under the rules of the game, so that any solver's line of play
// can be checked against them: each retrieval takes the top item of its stack, which must be of
// the lowest group still on the yard (the order inside a group is free: every order is one the
// requesting side, the retrieving side or chance may take); only the items above the next item
// retrieved may be relocated (the restricted problem), each from that item's stack onto
// another that has room; and the list must retrieve every item of a group before it ends.
#pragma once

#include <variant>
#include <vector>

#include "board_io/board_error.h"
#include "board_io/move_list_form.h"
#include "model/yard.h"

struct CheckedMoves {
  long relocations = 0;
  long retrievals = 0;
};

// `yard` in the columns the list counts its stacks in; `two_class` when its items of group 1
// are the targets of a two-class board, for the words of the errors. The first illegal move
// gives an error naming its line; a list that ends too early, an error with no line.
std::variant<CheckedMoves, BoardError> check_moves(Yard const& yard,
                                                   std::vector<ListedMove> const& moves,
                                                   bool two_class);
