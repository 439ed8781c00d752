// Advice and answers from the search engine, for games on yards too big for the exact tables.
// Its advice is the first hardest request in (stack, slot) order; its answers are the first
// best placement in the order of gen_all_seq, as the exact tables' are. It takes boards in any
// stack order, as the engine does; its answers are in canonical order.
#pragma once

#include <optional>
#include <stdexcept>

#include "advisor/advisor.h"
#include "search/engine.h"

// The engine ran out of its memory budget in the middle of a game.
struct GameOutOfMemory : std::runtime_error {
  GameOutOfMemory() : std::runtime_error("the search ran out of memory during the game") {}
};

class EngineAdvisor : public Advisor {
 public:
  explicit EngineAdvisor(Engine& engine) : engine_(engine) {}

  State advice(State const& board) override;
  int cost(State const& asked) override;
  std::optional<State> answer(State const& asked) override;

 private:
  // The engine's answer to `asked`, worked out once for both cost and answer.
  LineStep const& answer_step(State const& asked);

  Engine& engine_;
  std::optional<State> last_asked_;
  LineStep last_step_{};
};
