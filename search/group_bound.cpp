#include "search/group_bound.h"

#include <algorithm>
#include <climits>

int current_group(GroupedBoard const& board) {
  int least = board.stays;
  for (int s = 0; s < board.n; ++s)
    least = std::min(least, board.lowest(s));
  return least == board.stays ? 0 : least;
}

int blocked_items(GroupedBoard const& board, bool strict) {
  int count = 0;
  for (int s = 0; s < board.n; ++s) {
    for (int j = 1; j < board.level[s]; ++j)
      count += blocks_on(board.cell[s][j], board.low[s][j], board.stays, strict);
  }
  return count;
}

namespace {

// Whether some stack other than `from` with room would take `item` without blocking it.
bool has_good_stack(GroupedBoard const& board, int item, int from, bool strict) {
  for (int d = 0; d < board.n; ++d) {
    if (d != from && !board.full(d) && !blocks_on(item, board.lowest(d), board.stays, strict)) {
      return true;
    }
  }
  return false;
}

}  // namespace

int request_bound(GroupedBoard const& board, int stack, int slot, int blocked, bool strict) {
  int const top = board.level[stack] - 1;
  int const lifted = top - slot;
  int blocked_here = 0;
  int least_lifted = INT_MAX;
  int without_good = 0;
  for (int j = slot; j <= top; ++j) {
    int const item = board.cell[stack][j];
    blocked_here += blocks_on(item, board.low[stack][j], board.stays, strict);
    if (j == slot) continue;
    least_lifted = std::min(least_lifted, item);
    without_good += !has_good_stack(board, item, stack, strict);
  }
  int extra = without_good;
  if (lifted > 0) {
    int free = 0;
    for (int d = 0; d < board.n; ++d) {
      if (d != stack && !blocks_on(least_lifted, board.lowest(d), board.stays, strict)) {
        free += board.free_slots(d);
      }
    }
    extra = std::max(extra, lifted - free);
  }
  return lifted + blocked - blocked_here + extra;
}

int retrieval_order_bound(GroupedBoard const& board, Within within) {
  bool const strict = strict_blocking(within);
  // Each item's place in the order: its cell, and in the worst order its slot and stack too.
  struct Item {
    int rank;
    int stack;
    int slot;
  };
  Item items[kMaxGroupedStacks * kMaxGroupedHeight];
  int count = 0;
  // rank[s][j], and for each stack the least rank at or below each slot.
  int rank[kMaxGroupedStacks][kMaxGroupedHeight];
  int least[kMaxGroupedStacks][kMaxGroupedHeight + 1];
  int const stays_rank = board.stays << 10;
  for (int s = 0; s < board.n; ++s) {
    least[s][0] = INT_MAX;
    for (int j = 0; j < board.level[s]; ++j) {
      int const cell = board.cell[s][j];
      int r = cell << 10;
      if (strict && cell != board.stays) r += j << 5 | s;
      rank[s][j] = r;
      least[s][j + 1] = std::min(least[s][j], r);
      if (cell != board.stays) items[count++] = {r, s, j};
    }
  }
  std::sort(items, items + count, [](Item const& a, Item const& b) { return a.rank < b.rank; });

  int height[kMaxGroupedStacks];  // unmoved items still in each stack
  for (int s = 0; s < board.n; ++s)
    height[s] = board.level[s];
  int moves = 0;
  for (int first = 0; first < count;) {
    int last = first;
    while (last < count && items[last].rank == items[first].rank)
      ++last;
    // The lowest item of the batch in each stack, where it has not moved already.
    int cut[kMaxGroupedStacks];
    for (int s = 0; s < board.n; ++s)
      cut[s] = height[s];
    for (int i = first; i < last; ++i) {
      if (items[i].slot < height[items[i].stack])
        cut[items[i].stack] = std::min(cut[items[i].stack], items[i].slot);
    }
    for (int s = 0; s < board.n; ++s) {
      for (int j = cut[s] + 1; j < height[s]; ++j) {
        int const r = rank[s][j];
        if (r == items[first].rank) continue;  // leaves with the batch
        ++moves;
        bool good = false;
        for (int d = 0; d < board.n && !good; ++d) {
          int const m = least[d][cut[d]];
          good = d != s && cut[d] < board.height &&
                 (m > r || (m == r && (!strict || r == stays_rank)));
        }
        moves += !good;
      }
    }
    for (int s = 0; s < board.n; ++s)
      height[s] = cut[s];
    first = last;
  }
  return moves;
}

int group_lower_bound(GroupedBoard const& board, Within within) {
  bool const strict = strict_blocking(within);
  int const group = current_group(board);
  int const blocked = blocked_items(board, strict);
  if (group == 0) return blocked;  // only items that stay: nothing will move
  int best = INT_MAX;
  int worst = 0;
  for (int s = 0; s < board.n; ++s) {
    for (int j = 0; j < board.level[s]; ++j) {
      if (board.cell[s][j] != group) continue;
      int const bound = request_bound(board, s, j, blocked, strict);
      best = std::min(best, bound);
      worst = std::max(worst, bound);
    }
  }
  return std::max(
      {blocked, within == Within::worst ? worst : best, retrieval_order_bound(board, within)});
}

int GroupPlacementBound::after(GroupedBoard const& placed, int placed_count, int last, int from,
                               int rest) {
  if (placed_count == 0) {
    blocked_[0] = 0;
  } else {
    int const top = placed.level[last] - 1;
    blocked_[placed_count] =
        blocked_[placed_count - 1] +
        blocks_on(placed.cell[last][top], placed.low[last][top], placed.stays, strict_);
  }
  int stranded = 0;
  for (int i = placed_count; i < lifted_; ++i)
    stranded += !has_good_stack(placed, items_[i], from, strict_);
  stranded_ = stranded;
  return lifted_ + blocked_[placed_count] + stranded + rest;
}
