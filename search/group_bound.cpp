#include "search/group_bound.h"

#include <algorithm>
#include <climits>
#include <cstdint>

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
  int const n = board.n;
  // Each item's place in the order: its cell, and in the worst order its slot and stack too.
  // Items are listed slot by slot, then sorted stably by cell with one counting pass, which
  // gives (cell, slot, stack) order without a comparison sort: this bound runs at every node.
  struct Item {
    std::uint8_t stack;
    std::uint8_t slot;
  };
  Item listed[kMaxGroupedStacks * kMaxGroupedHeight];
  Item items[kMaxGroupedStacks * kMaxGroupedHeight];
  int start[kMaxDenseGroups + 3] = {};
  int count = 0;
  for (int j = 0; j < board.height; ++j) {
    for (int s = 0; s < n; ++s) {
      if (j >= board.level[s] || board.cell[s][j] == board.stays) continue;
      listed[count++] = {static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(j)};
      ++start[board.cell[s][j] + 1];
    }
  }
  for (int g = 1; g <= board.stays; ++g)
    start[g] += start[g - 1];
  for (int i = 0; i < count; ++i)
    items[start[board.cell[listed[i].stack][listed[i].slot]]++] = listed[i];
  // rank[s][j] orders items as the order does; least[s][j] is the least rank below slot j.
  int rank[kMaxGroupedStacks][kMaxGroupedHeight];
  int least[kMaxGroupedStacks][kMaxGroupedHeight + 1];
  int const stays_rank = board.stays << 10;
  for (int s = 0; s < n; ++s) {
    least[s][0] = INT_MAX;
    for (int j = 0; j < board.level[s]; ++j) {
      int const cell = board.cell[s][j];
      int r = cell << 10;
      if (strict && cell != board.stays) r += j << 5 | s;
      rank[s][j] = r;
      least[s][j + 1] = std::min(least[s][j], r);
    }
  }
  auto const rank_of = [&](Item const& item) { return rank[item.stack][item.slot]; };

  int height[kMaxGroupedStacks];  // unmoved items still in each stack
  for (int s = 0; s < n; ++s)
    height[s] = board.level[s];
  int moves = 0;
  for (int first = 0; first < count;) {
    int const batch = rank_of(items[first]);
    // The stacks the batch leaves from, each cut down to its lowest item of the batch that has
    // not moved already; was[] keeps their heights before.
    int touched[kMaxGroupedStacks];
    int was[kMaxGroupedStacks];
    int touched_count = 0;
    bool lifts = false;
    int last = first;
    for (; last < count && rank_of(items[last]) == batch; ++last) {
      int const s = items[last].stack;
      int const slot = items[last].slot;
      if (slot >= height[s]) continue;
      int k = 0;
      while (k < touched_count && touched[k] != s)
        ++k;
      if (k == touched_count) {
        touched[touched_count] = s;
        was[touched_count++] = height[s];
      }
      lifts = lifts || slot + 1 < was[k];
      height[s] = slot;
    }
    first = last;
    if (!lifts) continue;
    // The two stacks with room whose least rank is highest: the best place for a moved item
    // is the best of them that is not its own stack.
    int best = -1;
    int second = -1;
    for (int d = 0; d < n; ++d) {
      if (height[d] >= board.height) continue;
      int const m = least[d][height[d]];
      if (best < 0 || m > least[best][height[best]]) {
        second = best;
        best = d;
      } else if (second < 0 || m > least[second][height[second]]) {
        second = d;
      }
    }
    for (int k = 0; k < touched_count; ++k) {
      int const s = touched[k];
      int const d = best != s ? best : second;
      int const m = d < 0 ? -1 : least[d][height[d]];
      for (int j = height[s] + 1; j < was[k]; ++j) {
        int const r = rank[s][j];
        if (r == batch) continue;  // leaves with the batch
        bool const good = m > r || (m == r && (!strict || r == stays_rank));
        moves += good ? 1 : 2;
      }
    }
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
