#include "advisor/exact_advisor.h"

#include "solver/compute.h"

// compute before every lookup: on a board already solved it is one probe of memo, and it lets
// the advisor serve a board nobody solved beforehand instead of failing on the missing entry.
State ExactAdvisor::advice(State const& board) {
  compute(board, 0);
  return best_successor(board);
}

int ExactAdvisor::cost(State const& asked) {
  return compute(asked, 0);
}

// The tables keep a request as its own successor when no placement avoids a dead end.
std::optional<State> ExactAdvisor::answer(State const& asked) {
  compute(asked, 0);
  State next = best_successor(asked);
  if (!next.in_request_phase()) return std::nullopt;
  return next;
}
