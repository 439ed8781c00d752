// Lower bounds on the moves a yard of retrieval groups still needs, for cutting the search
// short. Three facts, in every order of requests:
//  - An item that has an item of a lower group beneath it must move at least once, and so
//    must an item that stays with any item beneath it that leaves. In the worst order an item
//    with an item of its own group beneath it must move too: the requesting side can always
//    ask for the lowest item of the group in a stack first. Their count is B.
//  - A request lifts its items, each one move, and leaves every other blocked item blocked.
//  - A lifted item that can reach no stack where it would not be blocked again must move a
//    second time; and at most F of them can land where they are not blocked, F the free slots
//    on stacks that are good for the least demanding of them.
// So a request costs at least lifted + (B - blocked among the request and its lifted items) +
// max(items with no good stack, lifted - F); the yard is worth at least B, and at least the
// largest (worst order) or least (best and random orders) of these over the requests that
// may come next. In the random order the bound of the best order is used: the mean of the
// requests is at least their least.
#pragma once

#include <cstdint>

#include "model/grouped_board.h"
#include "rules/within.h"

// Whether an item of cell `item` put on a stack whose least cell is `least` would be blocked.
// `strict`: an item of the same group beneath counts (the worst order).
inline bool blocks_on(int item, int least, int stays, bool strict) {
  return least < item || (strict && least == item && item != stays);
}

inline bool strict_blocking(Within within) {
  return within == Within::worst;
}

// The least group on the board that will be asked for, or 0 when none is left.
int current_group(GroupedBoard const& board);

// The items a request at (stack, slot) lifts, top first, and how many of them and the item
// asked for are blocked where they stand (so that B - blocked_here counts the rest).
struct LiftedItems {
  int count = 0;
  int items[kMaxGroupedHeight] = {};
  int blocked_here = 0;
  LiftedItems(GroupedBoard const& board, int stack, int slot, bool strict) {
    int const top = board.level[stack] - 1;
    count = top - slot;
    for (int j = top; j >= slot; --j) {
      if (j > slot) items[top - j] = board.cell[stack][j];
      blocked_here += blocks_on(board.cell[stack][j], board.low[stack][j], board.stays, strict);
    }
  }
};

// B: the items that must move at least once.
int blocked_items(GroupedBoard const& board, bool strict);

// The bound on the request at (stack, slot), given B.
int request_bound(GroupedBoard const& board, int stack, int slot, int blocked, bool strict);

// A bound that looks past the next request. Fix an order of retrieval: the groups in turn, and
// in the worst order the items of a group lowest slot first (the requesting side may commit
// to any order, so a bound for one fixed order bounds the worst order too). Follow the items
// that have not moved yet through that order. When an item leaves, every unmoved item above it
// moves. Judge their landings against the yard with every item that has moved or left taken
// away (which only helps them): lifted top first, each either lands where it is not blocked,
// which lowers that stack's least group for the items after it, or is blocked and moves a
// second time; the fewest second moves over all ways of landing them is counted. (Best and random
// orders: a group's items leave together, and the items above any of them are judged against the
// yard with all of the group and those items taken away.)
int retrieval_order_bound(GroupedBoard const& board, Within within);

// Two figures of the one walk through the groups in turn that retrieval_order_bound makes in
// the best order, for the random order:
//  - moves: that bound, which bounds the random order too (the retrieving side told nothing
//    does no better than one that picks);
//  - stranded: take each item lifted (an item of an earlier group lies beneath it) when the
//    first of those below it leaves, the items of a group leaving in a random order: the sum
//    of the chances that it then finds no stack that takes it unblocked, the items moved so
//    far taken away. Such an item moves twice in that order of the items, and a retrieving side
//    told the whole order in advance does no better than one that is not, so the yard is worth
//    at least the items' chances to move at least once plus this. In units of 1/denominator,
//    rounded down.
struct RandomOrderFigures {
  int moves;
  std::int64_t stranded;
};
RandomOrderFigures random_order_figures(GroupedBoard const& board, std::int64_t denominator);

// The fewest of `count` lifted items (cells or ranks, in the order they are lifted) that must
// land where they are blocked, when the stacks they may go to have least cells caps[] (which
// the call may reorder but leaves as it found them) and room without end; items of
// `stays_cell` are the items that stay. Exact for up to 8 items, each judged alone beyond.
int fewest_blocked_landings(int const* items, int count, int* caps, int cap_count, int stays_cell,
                            bool strict);

// The bound on the whole board: the larger of the two. Without `fixed_order`, the first alone,
// for callers that take a bound of the worst order at least as strong as the second next (see
// committed_order_bound.h).
int group_lower_bound(GroupedBoard const& board, Within within, bool fixed_order = true);

// The same figures kept up to date one item at a time while a retrieval's lifted items are
// placed, so that a placement that cannot bring its child below a goal is cut off before it
// is finished. Start it on the board with the items lifted and the target gone.
class GroupPlacementBound {
 public:
  GroupPlacementBound(int lifted, int const* items, bool strict)
      : lifted_(lifted), items_(items), strict_(strict) {}

  // Moves that every completion of the placement so far must still cost, counting the lifted
  // items as moved once: lifted + items blocked where they landed + the fewest of the items
  // still to place that must land blocked + the blocked items elsewhere (`rest`).
  int after(GroupedBoard const& placed, int placed_count, int last, int from, int rest);
  // Of the last figures: the fewest of the items still to place that must land blocked.
  int stranded() const { return stranded_; }

 private:
  int lifted_;
  int const* items_;  // the lifted items, top first
  bool strict_;
  int stranded_ = 0;
  int blocked_[kMaxGroupedHeight + 1] = {};  // items blocked where they landed, by count placed
};
