#include "search/bounds/grouped_settled.h"

#include <algorithm>

#include "search/bounds/group_bound.h"

namespace {

struct Parked {
  int lands;   // the least group beneath it: by that group's turn it has been lifted
  int leaves;  // its own group
};

// A clean stack as it stands once the groups before `group` have left.
struct CleanStack {
  int s;
  int busy_until = 0;  // the group of the item parked on it last: it leaves in that turn
  bool used = false;

  int least(GroupedBoard const& board, int group) const {
    int least = kNoItem;
    for (int j = 0; j < board.level[s]; ++j) {
      if (board.cell[s][j] >= group) least = std::min<int>(least, board.cell[s][j]);
    }
    return least;
  }
  int room(GroupedBoard const& board, int group) const {
    int left = 0;
    for (int j = 0; j < board.level[s]; ++j)
      left += board.cell[s][j] >= group;
    return board.height - left;
  }
};

}  // namespace

bool parks_every_blocked_item(GroupedBoard const& board, bool strict) {
  Parked parked[kMaxGroupedStacks * (kMaxGroupedHeight + 1)];
  int parked_count = 0;
  int staying = 0;  // blocked items that stay
  CleanStack clean[kMaxGroupedStacks];
  int clean_count = 0;
  for (int s = 0; s < board.n; ++s) {
    bool is_clean = true;
    for (int j = 1; j < board.level[s]; ++j) {
      int const item = board.cell[s][j];
      if (!blocks_on(item, board.low[s][j], board.stays, strict)) continue;
      is_clean = false;
      if (item == board.stays) {
        ++staying;
      } else {
        parked[parked_count++] = {board.low[s][j], item};
      }
    }
    if (is_clean) clean[clean_count++] = {s};
  }
  if (parked_count == 0 && staying == 0) return true;

  // Each item gets a stack of its own for as long as it may be parked, from the turn of the
  // group that lifts it to its own: the earliest lifted first, each on the stack that takes
  // it with the least group (stacks of items that stay, which take any, last).
  std::sort(parked, parked + parked_count, [](Parked const& a, Parked const& b) {
    return a.lands != b.lands ? a.lands < b.lands : a.leaves > b.leaves;
  });
  for (int k = 0; k < parked_count; ++k) {
    Parked const& item = parked[k];
    CleanStack* best = nullptr;
    int best_least = 0;
    for (int c = 0; c < clean_count; ++c) {
      CleanStack& stack = clean[c];
      if (stack.busy_until >= item.lands || stack.room(board, item.lands) == 0) continue;
      int const least = stack.least(board, item.lands);
      if (blocks_on(item.leaves, least, board.stays, strict)) continue;
      if (!best || least < best_least) {
        best = &stack;
        best_least = least;
      }
    }
    if (!best) return false;
    best->busy_until = item.leaves;
    best->used = true;
  }
  // Items that stay go to the free slots of stacks of items that stay, parked on by none.
  int room = 0;
  for (int c = 0; c < clean_count; ++c) {
    if (!clean[c].used && board.lowest(clean[c].s) >= board.stays) {
      room += board.free_slots(clean[c].s);
    }
  }
  return staying <= room;
}
