// An upper bound on a yard's value in the worst and random orders where the rule's own cost
// (rule_cost.h) is out of reach: the rule's cost on the yard with every group from some group
// on merged into one, the merged items asked for in the worst order.
//
// Merging lets the requesting side ask for the merged items in any order among themselves, so
// every sequence of requests the yard allows is one the merged yard allows too. The rule,
// deciding on the merged yard, is a strategy on the yard itself, and against any sequence it
// costs no more than its costliest on the merged yard. In the random order the groups before
// the merged one are asked for as in the yard itself, each item of the group alike, so their
// requests count at their mean there, and the merged group's at their costliest, which bounds
// any mean over them. With fewer groups the rule meets far fewer boards, and the last groups
// are where their count multiplies: on yards of 8 stacks of 5 in 5 groups, in the worst order,
// with the last two merged it took 0.4 to 15 s where its cost on the yard itself took 13 s to
// more than 60 s. The more groups are merged, the sooner the bound comes, and the looser it is.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "model/grouped_board.h"
#include "rules/moves.h"
#include "rules/within.h"
#include "search/bounds/rule_cost.h"

// The board with every group from `group` on made `group`, and the items that stay the cell
// after it; the stacks as they were.
GroupedBoard merge_groups_from(GroupedBoard const& board, int group);

class MergedRuleCosts {
 public:
  // The yard with its groups from `from` on merged (1 <= from < board.stays), in the worst or
  // random order; the rule's table takes at most max_bytes.
  MergedRuleCosts(GroupedBoard const& board, int from, Within within, std::size_t max_bytes);

  int from() const { return from_; }
  // The rule's costliest sequence of requests on the merged yard, as RuleCosts::cost gives it:
  // nothing once its table would pass its memory; it may be stopped (StopPoll) and goes on
  // where it stopped when asked again.
  std::optional<Moves> cost();
  // The rule's line on the yard itself: each turn, of the requests the yard allows, the one the
  // merged costs make costliest (the first in (stack, slot) order among equals), answered as
  // the rule answers on the merged yard. Steps are on the yard's canonical boards, each with
  // the merged cost of its answer, which no sequence of requests from there exceeds. cost()
  // must have given a bound.
  std::vector<RuleCosts::Step> line();

 private:
  GroupedBoard board_;
  int from_;
  Within within_;
  RuleCosts costs_;
};
