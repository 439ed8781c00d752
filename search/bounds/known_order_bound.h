// A lower bound on the moves still needed by a yard whose every group holds one item, so that
// the order of retrieval is known: the bound of a fixed order (see retrieval_order_bound) with
// the one order there is, worked out without ranking or sorting anything, since the search
// takes it on every child it makes. On the first request it is also at least the items that
// find no free slot on a stack where they would not be blocked.
#pragma once

#include <algorithm>

#include "model/grouped_board.h"
#include "search/bounds/moved_items_bound.h"

// Whether no two items of the board share a group (items that stay aside).
bool one_item_a_group(GroupedBoard const& board);

inline constexpr int kStrongestBound = -1;

// The board must hold one item a group. The bound follows the unmoved items through the
// order, each lifted item landing unblocked or blocked, and then counts the landings again with
// the moved items kept where they land (see moved_items_bound.h), which is dearer: callers that
// only ask whether the board is worth more than `need` get that second count only when the
// first is at most `need`, and only as far as it decides the question. kStrongestBound: the
// second count in full. Without `keep_moved_items`, the first count alone.
int known_order_bound(GroupedBoard const& board, int need = kStrongestBound,
                      bool keep_moved_items = true, int budget = kLandingBudget);

// The choices of landings worth searching for a bound on a board holding `items` items: the
// fuller the board, the more of the search's tree below it a bound decides, and the more a
// strong one is worth (on the 60-item yards of bench/known_order_set.py the bound of the first
// boards with 64 times the choices settles what 1024 leave to millions of boards).
inline int landing_budget(int items) {
  int const extra = std::clamp((items - 30) / 5, 0, 6);
  return kLandingBudget << extra;
}

// The same in two steps, for callers that can settle a board by other means between them:
// plain() the first count, refined(need) the bound as known_order_bound(board, need) gives it.
class KnownOrderBound {
 public:
  int plain(GroupedBoard const& board);
  int refined(int need, int budget = kLandingBudget) const;

 private:
  LandingPlan plan_;
  int moves_ = 0;   // the first count
  int lifted_ = 0;  // the lifted items in it
};
