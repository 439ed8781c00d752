#include "report/solve_result.h"

int count_items(State const& board) {
  int items = 0;
  for (auto const& stack : board.stacks) {
    for (int cell : stack)
      items += cell != kEmpty;
  }
  return items;
}

std::optional<YardRequestCost> first_request(std::vector<YardRequestCost> const& costs,
                                             Within within) {
  if (costs.empty()) return std::nullopt;
  YardRequestCost const* chosen = &costs.front();
  for (YardRequestCost const& c : costs) {
    bool const better = within == Within::best ? c.cost < chosen->cost : chosen->cost < c.cost;
    if (better) chosen = &c;
  }
  return *chosen;
}
