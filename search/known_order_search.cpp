#include "search/known_order_search.h"

std::pair<int, int> retrieve_free_items(GroupedBoard& board) {
  for (int group = current_group(board); group != 0; group = current_group(board)) {
    int s = 0;
    while (board.lowest(s) != group)
      ++s;
    int j = 0;
    while (board.cell[s][j] != group)
      ++j;
    if (j + 1 < board.level[s]) return {s, j};
    board.pop(s);
  }
  return {-1, -1};
}

std::pair<int, int> next_request(GroupedBoard const& board) {
  int const group = current_group(board);
  if (group == 0) return {-1, -1};
  for (int s = 0; s < board.n; ++s) {
    if (board.lowest(s) != group) continue;
    for (int j = 0; j < board.level[s]; ++j) {
      if (board.cell[s][j] == group) return {s, j};
    }
  }
  throw std::logic_error("the group asked for has no item");
}
