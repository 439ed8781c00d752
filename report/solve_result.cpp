#include "report/solve_result.h"

#include "solver/compute.h"

int count_items(State const& board) {
  int items = 0;
  for (auto const& stack : board.stacks) {
    for (int cell : stack)
      items += cell != kEmpty;
  }
  return items;
}

bool is_unserved(LineStep const& step, State const& before) {
  if (step.cost != kNoPlacement) return false;
  State unchanged = before;
  unchanged.request = kNoRequest;
  return step.after == unchanged;
}
