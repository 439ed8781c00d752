#include "search/bounds/grouped_settled.h"

#include <algorithm>

#include "search/bounds/group_bound.h"

namespace {

struct Parked {
  int lands;   // the least group beneath it: by that group's turn it has been lifted
  int leaves;  // its own group
};

// A stack that takes parked items from the turn of group `from` on: a clean stack from the
// start; a stack with blocked items once the lowest of them has been lifted, which happens by
// the turn of the least group beneath it at the latest, and then it holds only the items
// below (`limit` slots), none blocked.
struct CleanStack {
  int s;
  int limit;
  int from;
  int busy_until = 0;  // the group of the item parked on it last: it leaves in that turn
  bool used = false;

  // Its least group and its free slots once the groups before `group` have left.
  int least(GroupedBoard const& board, int group) const {
    int least = kNoItem;
    for (int j = 0; j < limit; ++j) {
      if (board.cell[s][j] >= group) least = std::min<int>(least, board.cell[s][j]);
    }
    return least;
  }
  int room(GroupedBoard const& board, int group) const {
    int left = 0;
    for (int j = 0; j < limit; ++j)
      left += board.cell[s][j] >= group;
    return board.height - left;
  }
};

// What the test works on: the items to park, and the stacks that may take them.
struct Parking {
  Parked parked[kMaxGroupedStacks * (kMaxGroupedHeight + 1)];
  int parked_count = 0;
  int staying = 0;  // blocked items that stay
  CleanStack clean[kMaxGroupedStacks];
  int clean_count = 0;

  Parking(GroupedBoard const& board, bool strict) {
    for (int s = 0; s < board.n; ++s) {
      int lowest_blocked = board.level[s];
      for (int j = 1; j < board.level[s]; ++j) {
        int const item = board.cell[s][j];
        if (!blocks_on(item, board.low[s][j], board.stays, strict)) continue;
        lowest_blocked = std::min(lowest_blocked, j);
        if (item == board.stays) {
          ++staying;
        } else {
          parked[parked_count++] = {board.low[s][j], item};
        }
      }
      bool const is_clean = lowest_blocked == board.level[s];
      clean[clean_count++] = {s, lowest_blocked, is_clean ? 0 : board.low[s][lowest_blocked] + 1};
    }
  }

  // Whether the items lifted first find a clean stack each, which most boards fail.
  bool first_lifted_fit(GroupedBoard const& board) const {
    int first_lifted = 0;
    int first_turn = kNoItem;
    for (int k = 0; k < parked_count; ++k) {
      if (parked[k].lands < first_turn) {
        first_turn = parked[k].lands;
        first_lifted = 0;
      }
      first_lifted += parked[k].lands == first_turn;
    }
    int open = 0;
    for (int c = 0; c < clean_count; ++c)
      open += clean[c].from == 0 && clean[c].room(board, first_turn) > 0;
    return first_lifted <= open;
  }

  // Each item gets a stack of its own for as long as it may be parked, from the turn of the
  // group that lifts it to its own: the earliest lifted first, each on the stack that takes
  // it with the least group (stacks of items that stay, which take any, last).
  bool park_all(GroupedBoard const& board, bool strict) {
    std::sort(parked, parked + parked_count, [](Parked const& a, Parked const& b) {
      return a.lands != b.lands ? a.lands < b.lands : a.leaves > b.leaves;
    });
    for (int k = 0; k < parked_count; ++k) {
      CleanStack* stack = stack_for(board, parked[k], strict);
      if (!stack) return false;
      stack->busy_until = parked[k].leaves;
      stack->used = true;
    }
    return true;
  }

  CleanStack* stack_for(GroupedBoard const& board, Parked const& item, bool strict) {
    CleanStack* best = nullptr;
    int best_least = 0;
    for (int c = 0; c < clean_count; ++c) {
      CleanStack& stack = clean[c];
      if (stack.from > item.lands || stack.busy_until >= item.lands ||
          stack.room(board, item.lands) == 0) {
        continue;
      }
      int const least = stack.least(board, item.lands);
      if (blocks_on(item.leaves, least, board.stays, strict)) continue;
      if (!best || least < best_least) {
        best = &stack;
        best_least = least;
      }
    }
    return best;
  }

  // Items that stay go to the free slots of stacks of items that stay, parked on by none.
  bool staying_fit(GroupedBoard const& board) const {
    int room = 0;
    for (int c = 0; c < clean_count; ++c) {
      if (!clean[c].used && clean[c].from == 0 && board.lowest(clean[c].s) >= board.stays) {
        room += board.free_slots(clean[c].s);
      }
    }
    return staying <= room;
  }
};

}  // namespace

bool parks_every_blocked_item(GroupedBoard const& board, bool strict) {
  Parking parking(board, strict);
  if (parking.parked_count == 0 && parking.staying == 0) return true;
  return parking.first_lifted_fit(board) && parking.park_all(board, strict) &&
         parking.staying_fit(board);
}
