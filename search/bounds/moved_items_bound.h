// The second moves of a known order, counted with the items that have moved kept in the yard.
//
// The known-order bound follows the unmoved items through the order: each request lifts the
// unmoved items above the item asked for, and each lifted item lands either unblocked or
// blocked (a second move). There every moved item is then taken away, which is what makes the
// bound cheap, and weak: an item that landed unblocked stays where it landed until it leaves,
// so the stack it landed on takes nothing greater than it until then. This bound keeps it
// there. The lifted items and the stacks' unmoved caps at each request do not depend on where
// moved items went, so they are fixed first (a LandingPlan); what is left is to choose, for
// each lifted item in turn, an unblocked landing or a blocked one, the fewest blocked over all
// choices being a lower bound. When no item to come, while this one is in the yard, could have
// used the least cap that takes it but not the item itself, it goes there: any other landing
// can only leave the items to come fewer ways. Otherwise every stack that takes it is tried,
// and landing it blocked too (the least cap is not always best: a stack keeps the item until it
// leaves, then takes again what it took before). The choices are
// searched depth first against the plain figures of the requests still to come, within a
// budget; when the budget runs out, what is left counts at those plain figures, which is still
// a bound.
#pragma once

#include <cstdint>
#include <vector>

#include "model/grouped_board.h"

struct LandingPlan {
  struct Lift {
    int group;    // the item asked for: the items that leave before it are gone by then
    int first;    // its lifted items: items[first .. the next lift's first), top first
    int blocked;  // the fewest of them that land blocked with every moved item taken away
  };
  int stacks = 0;
  int stays = 0;  // the cell of items that stay
  std::vector<Lift> lifts;
  std::vector<std::uint8_t> items;
  // caps[r * stacks + d]: the least unmoved item on stack d at lift r (kNoItem when none), 0
  // where nothing may land (no room, or the stack being emptied).
  std::vector<std::uint8_t> caps;

  void clear(int n, int stays_cell) {
    stacks = n;
    stays = stays_cell;
    lifts.clear();
    items.clear();
    caps.clear();
  }
};

// Choices of landings searched before the rest is counted at its plain figures: most plans
// need a single pass (no landing harms a later item), and a bound that decides more is worth
// more choices (see known_order_bound).
inline constexpr int kLandingBudget = 1024;

// A lower bound on the lifted items of the plan that must land blocked, moved items kept where
// they land; at least the sum of the lifts' `blocked`. Once a choice of landings with at most
// `enough` blocked is found, the answer can be no more than that, so the search stops there
// and returns the sum of the lifts' `blocked`; pass -1 for the fewest. Past `budget` choices
// the rest counts at the plain figures, which is still a bound.
int fewest_blocked_with_moved_items(LandingPlan const& plan, int enough,
                                    int budget = kLandingBudget);
