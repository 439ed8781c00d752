#include "search/group_bound.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// Whether an item of rank r may land, unblocked, on a stack whose least rank is m.
struct Landing {
  int stays_rank;
  bool strict;
  bool unblocked(int m, int r) const { return m > r || (m == r && (!strict || r == stays_rank)); }
};

// The fewest of the lifted items (ranks, in the order they are lifted) that must land where
// they are blocked, when the stacks they may go to have least ranks caps[] and room without
// end. An item that lands unblocked lowers its stack's least rank to its own, so items lifted
// later may find no room there: an item lifted first and put where it is not blocked can cost
// two of the ones that follow. Of the unblocked landings, the stack of least rank is as good as
// any other, so each item has two choices; past kMaxExact items, each is judged alone, which
// is weaker but still a bound.
constexpr int kMaxExact = 8;

int fewest_blocked(int const* ranks, int count, int* caps, int cap_count, Landing landing,
                   int spent = 0, int best = INT_MAX) {
  if (count == 0 || spent >= best) return std::min(spent, best);
  int fit = -1;  // the cap of least rank that takes the first item unblocked
  for (int c = 0; c < cap_count; ++c) {
    if (landing.unblocked(caps[c], ranks[0]) && (fit < 0 || caps[c] < caps[fit])) fit = c;
  }
  if (count > kMaxExact) {
    return fewest_blocked(ranks + 1, count - 1, caps, cap_count, landing, spent + (fit < 0), best);
  }
  if (fit >= 0) {
    int const kept = caps[fit];
    caps[fit] = std::min(kept, ranks[0]);
    best = fewest_blocked(ranks + 1, count - 1, caps, cap_count, landing, spent, best);
    caps[fit] = kept;
  }
  return fewest_blocked(ranks + 1, count - 1, caps, cap_count, landing, spent + 1, best);
}

}  // namespace

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

int request_bound(GroupedBoard const& board, int stack, int slot, int blocked, bool strict) {
  int const top = board.level[stack] - 1;
  int const lifted = top - slot;
  int blocked_here = 0;
  int least_lifted = INT_MAX;
  int items[kMaxGroupedHeight];  // top first
  for (int j = top; j >= slot; --j) {
    int const item = board.cell[stack][j];
    blocked_here += blocks_on(item, board.low[stack][j], board.stays, strict);
    if (j == slot) continue;
    least_lifted = std::min(least_lifted, item);
    items[top - j] = item;
  }
  int caps[kMaxGroupedStacks];
  int cap_count = 0;
  for (int d = 0; d < board.n; ++d) {
    if (d != stack && !board.full(d)) caps[cap_count++] = board.lowest(d);
  }
  int extra = fewest_blocked(items, lifted, caps, cap_count, {board.stays, strict});
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
    for (int k = 0; k < touched_count; ++k) {
      int const s = touched[k];
      int lifted[kMaxGroupedHeight];  // the moved items' ranks, top first
      int lifted_count = 0;
      for (int j = was[k] - 1; j > height[s]; --j) {
        if (rank[s][j] != batch) lifted[lifted_count++] = rank[s][j];  // else it leaves too
      }
      int caps[kMaxGroupedStacks];
      int cap_count = 0;
      for (int d = 0; d < n; ++d) {
        if (d != s && height[d] < board.height) caps[cap_count++] = least[d][height[d]];
      }
      moves += lifted_count +
               fewest_blocked(lifted, lifted_count, caps, cap_count, {stays_rank, strict});
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
  int caps[kMaxGroupedStacks];
  int cap_count = 0;
  for (int d = 0; d < placed.n; ++d) {
    if (d != from && !placed.full(d)) caps[cap_count++] = placed.lowest(d);
  }
  int const stranded = fewest_blocked(items_ + placed_count, lifted_ - placed_count, caps,
                                      cap_count, {placed.stays, strict_});
  stranded_ = stranded;
  return lifted_ + blocked_[placed_count] + stranded + rest;
}
