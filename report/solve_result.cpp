#include "report/solve_result.h"

int count_items(State const& board) {
  int items = 0;
  for (auto const& stack : board.stacks) {
    for (int cell : stack)
      items += cell != kEmpty;
  }
  return items;
}
