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

int group_lower_bound(GroupedBoard const& board, Within within) {
  bool const strict = strict_blocking(within);
  int const group = current_group(board);
  int const blocked = blocked_items(board, strict);
  if (group == 0) return blocked;
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
  return std::max(blocked, within == Within::worst ? worst : best);
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
  return lifted_ + blocked_[placed_count] + stranded + rest;
}
