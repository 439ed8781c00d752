#include "search/bounds/committed_order_bound.h"

#include "search/bounds/known_order_bound.h"

bool committed_order_fits(GroupedBoard const& board) {
  int items = 0;
  for (int s = 0; s < board.n; ++s)
    items += board.level[s];
  return items < kMaxDenseGroups;
}

int committed_order_bound(GroupedBoard const& board, int need) {
  // Each item that leaves takes its rank in (group, slot, stack) order, listed slot by slot
  // and then sorted stably by group with one counting pass; items that stay stay.
  int start[kMaxDenseGroups + 2] = {};
  int items = 0;
  for (int s = 0; s < board.n; ++s) {
    for (int j = 0; j < board.level[s]; ++j) {
      if (board.cell[s][j] != board.stays) {
        ++start[board.cell[s][j] + 1];
        ++items;
      }
    }
  }
  for (int g = 1; g < board.stays; ++g)
    start[g + 1] += start[g];
  std::uint8_t rank[kMaxGroupedStacks][kMaxGroupedHeight];
  for (int j = 0; j < board.height; ++j) {
    for (int s = 0; s < board.n; ++s) {
      if (j >= board.level[s] || board.cell[s][j] == board.stays) continue;
      rank[s][j] = static_cast<std::uint8_t>(1 + start[board.cell[s][j]]++);
    }
  }
  GroupedBoard known(board.n, board.height, items + 1);
  for (int s = 0; s < board.n; ++s) {
    for (int j = 0; j < board.level[s]; ++j)
      known.push(s, board.cell[s][j] == board.stays ? items + 1 : rank[s][j]);
  }
  return known_order_bound(known, need);
}
