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
