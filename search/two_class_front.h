// A yard of one group in the worst order is the two-class game, answered by the two-class
// engine with its tie-breaks: the board with the group as targets and everything else as other
// items. Every query on a yard goes through on_yard, which sends it one way or the other.
#pragma once

#include <optional>
#include <vector>

#include "model/state.h"
#include "model/yard.h"
#include "rules/within.h"
#include "search/answers.h"
#include "search/grouped_search.h"

// The yard with its groups renumbered; throws std::invalid_argument for a yard that is not
// well formed or too big for the searches.
DenseYard checked_dense_yard(Yard const& yard);

// The two-class board of a yard of one group in the worst order, or nothing.
std::optional<State> two_class_board(DenseYard const& dense, Within within);

// The yard of a two-class board, in the cells of the yard it came from.
Yard yard_of_two_class(State const& board, DenseYard const& dense, int groups);

// A two-class line as a line on the yard; sorted: the yards after each step put into
// canonical order (a step that is not placed keeps the board as it was given).
std::vector<YardStep> yard_steps(std::vector<LineStep> const& line, DenseYard const& dense,
                                 int groups, bool sorted);

// two_class(board, dense) for a yard of the two-class game, grouped(dense) otherwise.
template <class TwoClass, class Grouped>
auto on_yard(Yard const& yard, Within within, TwoClass&& two_class, Grouped&& grouped) {
  DenseYard const dense = checked_dense_yard(yard);
  if (std::optional<State> const board = two_class_board(dense, within)) {
    return two_class(*board, dense);
  }
  return grouped(dense);
}
