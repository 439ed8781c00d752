// What the turn loop of an interactive game needs from a solver: advice, the cost of the
// person's request, and the retrieving side's answer. The loop (play_game.h) knows nothing
// else of the solver, so the exact tables and a bounded search can both stand behind it.
#pragma once

#include <optional>

#include "model/state.h"

class Advisor {
 public:
  virtual ~Advisor() = default;

  // The board (request phase, at least one target; in canonical order, save for an advisor that
  // says it takes any) with the hardest request pending: same stacks in the same order.
  virtual State advice(State const& board) = 0;
  // Relocations from the pending request of `asked` to the end of the game under best play by
  // both sides; kNoPlacement when the lifted items fit nowhere.
  virtual int cost(State const& asked) = 0;
  // The board after the best retrieval for the pending request of `asked`: the target gone,
  // stacks in canonical order, no request pending. Empty when the lifted items fit nowhere.
  virtual std::optional<State> answer(State const& asked) = 0;
};
