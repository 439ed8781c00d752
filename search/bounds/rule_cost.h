// An upper bound on a yard's value, with its witness: the exact cost of one fixed rule for the
// retrieving side, placing every lifted item (top first) where it blocks least, against every
// request the order allows: the costliest in the worst order, the mean in the random order; in
// the best order the retrieving side asks too, by the rule for the item with the fewest items
// above it. Any rule of the retrieving side is a strategy, so its cost is at least the value,
// and it is found by a search far smaller than the game's: one child a request, and in the best
// order one request a board. The rule's line is the witness: its moves cost no more than the
// bound.
//
// The rule, for an item of cell c and the stacks with room other than the one it came from:
//  - of the stacks where it is not blocked, the one whose least cell is least: it keeps the
//    stacks that take more items unblocked for later ones. Blocked means an item of an earlier
//    group beneath, and but in the best order one of its own group too, which in the worst
//    order leaves first for certain and in the random order with a chance of a half or more;
//  - if there is none, the stack whose least cell is greatest: the item is moved again only
//    when that cell's group is asked for, as late as it can be;
//  - among equals, the stack holding fewer items, then the leftmost.
//
// The rule is then improved by looking one request ahead: each request is answered by the
// placement whose child the rule finishes cheapest (in the best order, the rule's own request
// still). That costs no more than the rule on any board, and on yards of 6 stacks of 4 or 5 in
// the worst order it costs 3 to 10 moves less, on yards of 60 items two a group in the best
// order 3 to 18; it is a search of the same boards, each costing the rule's cost of every
// placement that may do better, so it comes later.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "model/grouped_board.h"
#include "rules/moves.h"
#include "rules/within.h"

// The stack the rule puts an item of cell `item` on, lifted from stack `from`; -1 for none.
int stack_by_rule(GroupedBoard const& board, int item, int from, Within within);

// The board after asking for (stack, slot) and placing the lifted items by the rule: stacks as
// placed, not sorted. The lifted items must fit.
GroupedBoard place_by_rule(GroupedBoard const& board, int stack, int slot, Within within);

// In the best order the retrieving side asks too; by the rule, for the item of the current
// group with the fewest items above it (the first stack among equals), so that the rule's cost
// is that of one sequence and costs a search of one board a request. {-1, -1} once every item
// has left.
std::pair<int, int> request_by_rule(GroupedBoard const& board);

// What the rule's line from the board costs in the best order, played out rather than
// remembered: each request the rule's own, the lifted items placed by it. The lifted items
// must always fit (with one item a group, this finishes the known order by the rule). Polls
// (StopPoll) once a request that lifts something.
int rule_finish(GroupedBoard board);

// The rule's costs, remembered across calls for boards of one shape.
class RuleCosts {
 public:
  // One request of the rule's line, on the board before it (canonical order).
  struct Step {
    int stack;
    int slot;
    Moves cost;  // what the rule's answer to this request costs to the end (at most)
    int lifted;
    bool placed;         // false when the lifted items fit nowhere; the line ends there
    GroupedBoard after;  // canonical; the board before the request when not placed
  };

  // Boards shaped like `shape` (stacks, capacity, cells); what it remembers takes at most
  // max_bytes. In the random order, the requests of groups from `costliest_from` on (0: none)
  // count at their costliest rather than their mean: an upper bound on the mean, for yards
  // whose last groups are merged (merged_rule_cost.h).
  RuleCosts(GroupedBoard const& shape, Within within, std::size_t max_bytes,
            int costliest_from = 0);
  ~RuleCosts();
  RuleCosts(RuleCosts const&) = delete;
  RuleCosts& operator=(RuleCosts const&) = delete;

  // What the rule's worst (or best, or mean) sequence of requests costs on the board, at most
  // (the random order's mean is rounded up to a double); nothing once its memory would pass
  // three quarters of max_bytes. It looks at the limits of the query it runs in (StopPoll) and
  // may be stopped; what it worked out stays for the next call.
  std::optional<Moves> cost(GroupedBoard const& board);
  // The same for the rule improved by looking one request ahead: each request answered by the
  // placement whose child the rule finishes cheapest (the rule's own among equals). On every board
  // it costs no more than the rule, often several moves less, and takes far longer to work out:
  // every placement that may do better is costed by the rule. Its own boards take at most a quarter
  // of max_bytes; nothing once they would pass it, or the rule's would.
  std::optional<Moves> look_ahead_cost(GroupedBoard const& board);
  // The line from the board to the end of the rule, or with looking_ahead of the improved
  // rule: each turn the request its costs make the costliest (the first in (stack, slot) order
  // among equals; in the best order, the rule's own request), answered as it answers. Its
  // costs must be within reach (cost() or look_ahead_cost()).
  std::vector<Step> line(GroupedBoard const& board, bool looking_ahead = false);

  struct Search;

 private:
  Within within_;
  std::unique_ptr<Search> search_;
  std::unique_ptr<Search> look_ahead_;
  bool gave_up_ = false;
  bool look_ahead_gave_up_ = false;
};
