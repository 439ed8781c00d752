// What the engine's queries answer: bounds on a value, the cost of each request, and the steps
// of a line of play, on two-class boards and on yards of retrieval groups.
#pragma once

#include <optional>

#include "model/state.h"
#include "model/yard.h"
#include "rules/moves.h"

// What is proven about a board's value: lower <= value <= upper. An upper bound of "no
// placement" says that no finite bound is known (or, with lower equal to it, that the value is
// no placement).
struct ValueBounds {
  Moves lower = 0;
  Moves upper = Moves::no_placement();
  // Whether the upper bound is the rule's on a coarser yard (its last groups merged): a bound,
  // but a loose one in the random order, beside which the rule's own mean is worth estimating.
  bool coarse_upper = false;
  bool exact() const { return lower == upper; }
};

struct RequestCost {
  int stack;
  int slot;
  int cost;  // relocations from this request to the end under best play; kNoPlacement if none
};

// One request of the best line and the retrieval that answers it.
struct LineStep {
  int stack;  // the request, on the board before it
  int slot;
  int cost;     // the request's cost: the board's value at that point
  int moved;    // items relocated by the retrieval
  bool placed;  // false when the lifted items fit nowhere: nothing moved, the line ends here
  State after;  // the board after the retrieval (canonical, no request); if !placed, before it
  // Set on a line of the placement rule (Engine::rule_line): a lower bound on the request's
  // cost, which is then what the rule's answer costs, an upper bound.
  std::optional<int> lower = std::nullopt;
};

// A request on a grouped yard, and what it costs from there to the end under best play.
struct YardRequestCost {
  int stack;
  int slot;
  Moves cost;
};

// One request of a line on a grouped yard and the retrieval that answers it.
struct YardStep {
  int stack;  // the request, on the yard before it
  int slot;
  Moves cost;   // the request's cost: relocations from here to the end (expected, for random)
  int moved;    // items relocated by the retrieval
  bool placed;  // false when the lifted items fit nowhere: nothing moved, the line ends here
  Yard after;   // the yard after the retrieval (canonical); if !placed, before it
  std::optional<Moves> lower = std::nullopt;  // as for LineStep
};
