#include "advisor/engine_advisor.h"

State EngineAdvisor::advice(State const& board) {
  std::optional<RequestCost> const hardest = engine_.hardest_request(board);
  if (!hardest) throw GameOutOfMemory();
  State advised = board;
  advised.request = {hardest->stack, hardest->slot};
  return advised;
}

LineStep const& EngineAdvisor::answer_step(State const& asked) {
  if (!last_asked_ || !(*last_asked_ == asked)) {
    std::optional<LineStep> step = engine_.best_answer(asked);
    if (!step) throw GameOutOfMemory();
    last_step_ = std::move(*step);
    last_asked_ = asked;
  }
  return last_step_;
}

int EngineAdvisor::cost(State const& asked) {
  return answer_step(asked).cost;
}

std::optional<State> EngineAdvisor::answer(State const& asked) {
  LineStep const& step = answer_step(asked);
  if (!step.placed) return std::nullopt;
  return step.after;
}
