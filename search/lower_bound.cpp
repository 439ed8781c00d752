#include "search/lower_bound.h"

#include <algorithm>

int items_above_lowest_targets(WorkingBoard const& board) {
  int sum = 0;
  for (int s = 0; s < board.n; ++s)
    sum += board.above_lowest_target(s);
  return sum;
}

int free_slots_without_targets(WorkingBoard const& board, int except) {
  int free = 0;
  for (int s = 0; s < board.n; ++s) {
    if (s != except && board.targets(s) == 0) free += board.free_slots(s);
  }
  return free;
}

int open_stacks_without_targets(WorkingBoard const& board, int except) {
  int open = 0;
  for (int s = 0; s < board.n; ++s) {
    if (s != except && board.targets(s) == 0 && !board.full(s)) ++open;
  }
  return open;
}

int deepest_above_lowest_target(WorkingBoard const& board) {
  int deepest = 0;
  for (int s = 0; s < board.n; ++s)
    deepest = std::max(deepest, board.above_lowest_target(s));
  return deepest;
}

int most_targets_above_lowest(WorkingBoard const& board) {
  int most = 0;
  for (int s = 0; s < board.n; ++s)
    most = std::max(most, std::popcount(board.targets(s)) - 1);
  return most;
}

int moves_lower_bound(WorkingBoard const& board) {
  int const free = free_slots_without_targets(board, -1);
  int const open = open_stacks_without_targets(board, -1);
  return items_above_lowest_targets(board) +
         std::max({0, deepest_above_lowest_target(board) - free,
                   most_targets_above_lowest(board) - open});
}
