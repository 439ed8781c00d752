#include "search/bounds/group_bound.h"

#include <algorithm>
#include <climits>
#include <cmath>
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
  if (fit < 0)
    return fewest_blocked(ranks + 1, count - 1, caps, cap_count, landing, spent + 1, best);
  int const kept = caps[fit];
  // Landing unblocked costs the items after it nothing when none of them that the stack would
  // take is refused by the first item's rank: then being blocked instead cannot be better.
  bool harmless = true;
  for (int i = 1; i < count && harmless; ++i)
    harmless = !landing.unblocked(kept, ranks[i]) || landing.unblocked(ranks[0], ranks[i]);
  caps[fit] = std::min(kept, ranks[0]);
  best = fewest_blocked(ranks + 1, count - 1, caps, cap_count, landing, spent, best);
  caps[fit] = kept;
  if (harmless) return best;
  return fewest_blocked(ranks + 1, count - 1, caps, cap_count, landing, spent + 1, best);
}

}  // namespace

int fewest_blocked_landings(int const* items, int count, int* caps, int cap_count, int stays_cell,
                            bool strict) {
  return fewest_blocked(items, count, caps, cap_count, {stays_cell, strict});
}

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
  LiftedItems const lifting(board, stack, slot, strict);
  int const lifted = lifting.count;
  int const* const items = lifting.items;
  int const least_lifted = lifted > 0 ? *std::min_element(items, items + lifted) : INT_MAX;
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
  return lifted + blocked - lifting.blocked_here + extra;
}

namespace {

// The yard's items in a fixed order of retrieval, followed through it (see
// retrieval_order_bound): ranks that order the items, the unmoved items left in each stack,
// and the moves counted so far.
class FixedOrder {
 public:
  FixedOrder(GroupedBoard const& board, bool strict)
      : board_(board), strict_(strict), stays_rank_(board.stays << 10) {
    rank_items();
    list_items_in_order();
  }

  // chances: where to add up, before each batch leaves, stranded_chance of it.
  int moves(double* chances = nullptr) {
    int moves = 0;
    for (int first = 0; first < count_;) {
      int const batch = rank_of(items_[first]);
      int last = first;
      while (last < count_ && rank_of(items_[last]) == batch)
        ++last;
      if (chances) *chances += stranded_chance(batch);
      moves += leave(first, last, batch);
      first = last;
    }
    return moves;
  }

 private:
  struct Item {
    std::uint8_t stack;
    std::uint8_t slot;
  };

  // A rank is the cell, and in the worst order the slot and the stack too: the items of a group
  // lowest slot first. least_[s][j]: the least rank below slot j of stack s.
  void rank_items() {
    for (int s = 0; s < board_.n; ++s) {
      least_[s][0] = INT_MAX;
      height_[s] = board_.level[s];
      for (int j = 0; j < board_.level[s]; ++j) {
        int const cell = board_.cell[s][j];
        int r = cell << 10;
        if (strict_ && cell != board_.stays) r += j << 5 | s;
        rank_[s][j] = r;
        least_[s][j + 1] = std::min(least_[s][j], r);
      }
    }
  }

  // The items that leave, listed slot by slot and then sorted stably by cell with one counting
  // pass: (cell, slot, stack) order without a comparison sort, since this runs at every node.
  void list_items_in_order() {
    Item listed[kMaxGroupedStacks * kMaxGroupedHeight];
    int start[kMaxDenseGroups + 3];
    std::fill_n(start, board_.stays + 2, 0);  // the cells in use only: this runs at every node
    for (int j = 0; j < board_.height; ++j) {
      for (int s = 0; s < board_.n; ++s) {
        if (j >= board_.level[s] || board_.cell[s][j] == board_.stays) continue;
        listed[count_++] = {static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(j)};
        ++start[board_.cell[s][j] + 1];
      }
    }
    for (int g = 1; g <= board_.stays; ++g)
      start[g] += start[g - 1];
    for (int i = 0; i < count_; ++i)
      items_[start[board_.cell[listed[i].stack][listed[i].slot]]++] = listed[i];
  }

  int rank_of(Item const& item) const { return rank_[item.stack][item.slot]; }

  // The items of one rank leave: each stack they leave from is cut down to its lowest such
  // item that has not moved already, and the unmoved items above it move.
  int leave(int first, int last, int batch) {
    int touched[kMaxGroupedStacks];
    int was[kMaxGroupedStacks];  // their heights before
    int touched_count = 0;
    bool lifts = false;
    for (int i = first; i < last; ++i) {
      int const s = items_[i].stack;
      int const slot = items_[i].slot;
      if (slot >= height_[s]) continue;
      int k = 0;
      while (k < touched_count && touched[k] != s)
        ++k;
      if (k == touched_count) {
        touched[touched_count] = s;
        was[touched_count++] = height_[s];
      }
      lifts = lifts || slot + 1 < was[k];
      height_[s] = slot;
    }
    int moves = 0;
    for (int k = 0; lifts && k < touched_count; ++k)
      moves += lift(touched[k], was[k], batch);
    return moves;
  }

  // Moves of the unmoved items between the new and the old height of stack s, lifted top
  // first against the yard as it stands in the order.
  int lift(int s, int was, int batch) const {
    int lifted[kMaxGroupedHeight];
    int lifted_count = 0;
    for (int j = was - 1; j > height_[s]; --j) {
      if (rank_[s][j] != batch) lifted[lifted_count++] = rank_[s][j];  // else it leaves too
    }
    int caps[kMaxGroupedStacks];
    int cap_count = 0;
    for (int d = 0; d < board_.n; ++d) {
      if (d != s && height_[d] < board_.height) caps[cap_count++] = least_[d][height_[d]];
    }
    return lifted_count +
           fewest_blocked(lifted, lifted_count, caps, cap_count, {stays_rank_, strict_});
  }

  // Over the items the batch lifts, the chance of each that, the batch's items leaving in a
  // random order, no stack takes it unblocked when it is lifted (see random_order_figures),
  // times the least chance that it moves again where it lands then (1, or k/(k + 1) on top of
  // k items of its own group, the only ones there that may leave before it). The
  // item is lifted when the first of the batch's items below it leaves. A stack without the
  // batch's items takes it or not for good; a stack with them takes it only once the lowest of
  // them has left (everything above has moved or left by then), if what lies below lets it. Of
  // the `below` items and those `waiting` lowest items, each is first alike.
  double stranded_chance(int batch) const {
    Landing const landing{stays_rank_, false};
    int lowest[kMaxGroupedStacks];  // the batch's lowest unmoved slot in each stack, or -1
    for (int s = 0; s < board_.n; ++s) {
      lowest[s] = -1;
      for (int j = height_[s] - 1; j >= 0; --j) {
        if (rank_[s][j] == batch) lowest[s] = j;
      }
    }
    double sum = 0;
    for (int s = 0; s < board_.n; ++s) {
      int below = 0;  // the batch's items below the one looked at
      for (int j = std::max(lowest[s], 0); lowest[s] >= 0 && j < height_[s]; ++j) {
        int const r = rank_[s][j];
        if (r == batch) {
          ++below;
          continue;
        }
        int waiting = 0;
        bool open = false;
        double cost = 1;  // of landing where it may move again, the least chance that it does
        for (int d = 0; d < board_.n && !open; ++d) {
          if (d == s) continue;
          if (lowest[d] < 0) {
            if (height_[d] == board_.height) continue;
            int const least = least_[d][height_[d]];
            if (least == r && r != stays_rank_) {
              cost = std::min(cost, own_group_chance(d, r));
            } else {
              open = landing.unblocked(least, r);
            }
          } else {
            waiting += landing.unblocked(least_[d][lowest[d]], r);
          }
        }
        if (!open) sum += cost * below / (below + waiting);
      }
    }
    return sum;
  }

  // An item of rank r that lands on stack d, whose least rank is r, moves again unless it
  // leaves first of the items of its group there: with chance k/(k + 1) for k of them.
  double own_group_chance(int d, int r) const {
    int k = 0;
    for (int j = 0; j < height_[d]; ++j)
      k += rank_[d][j] == r;
    return static_cast<double>(k) / (k + 1);
  }

  GroupedBoard const& board_;
  bool strict_;
  int stays_rank_;
  int rank_[kMaxGroupedStacks][kMaxGroupedHeight];
  int least_[kMaxGroupedStacks][kMaxGroupedHeight + 1];
  int height_[kMaxGroupedStacks];  // unmoved items still in each stack
  Item items_[kMaxGroupedStacks * kMaxGroupedHeight];
  int count_ = 0;
};

}  // namespace

int retrieval_order_bound(GroupedBoard const& board, Within within) {
  return FixedOrder(board, strict_blocking(within)).moves();
}

RandomOrderFigures random_order_figures(GroupedBoard const& board, std::int64_t denominator) {
  double chances = 0;
  int const moves = FixedOrder(board, false).moves(&chances);
  // Summed in doubles and rounded down with room to spare (a millionth of a unit, far above
  // their rounding error), so that the figure never passes the exact sum.
  double const units = std::floor(chances * static_cast<double>(denominator) - 1e-6);
  return {moves, units > 0 ? static_cast<std::int64_t>(units) : 0};
}

int group_lower_bound(GroupedBoard const& board, Within within, bool fixed_order) {
  bool const strict = strict_blocking(within);
  int const group = current_group(board);
  int const blocked = blocked_items(board, strict);
  if (group == 0) return blocked;  // only items that stay: nothing will move
  int best = INT_MAX;
  int worst = 0;
  bool const worst_order = within == Within::worst;
  for (int s = 0; s < board.n; ++s) {
    for (int j = 0; j < board.level[s]; ++j) {
      if (board.cell[s][j] != group) continue;
      // A request costs at most its lifted items twice over the blocked ones: in the worst
      // order, one that cannot pass the dearest so far is not worked out.
      int const lifted = board.level[s] - 1 - j;
      if (worst_order && blocked + 2 * lifted <= worst) continue;
      int const bound = request_bound(board, s, j, blocked, strict);
      best = std::min(best, bound);
      worst = std::max(worst, bound);
    }
  }
  int const requests = std::max(blocked, worst_order ? worst : best);
  return fixed_order ? std::max(requests, retrieval_order_bound(board, within)) : requests;
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
