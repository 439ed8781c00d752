#include "search/grouped_line.h"

#include <stdexcept>
#include <utility>

#include "rules/retrieval.h"
#include "search/bounds/group_bound.h"

std::vector<YardRequestCost> grouped_request_costs(GroupedSearch& search,
                                                   GroupedBoard const& board) {
  std::vector<YardRequestCost> costs;
  int const group = current_group(board);
  for (int s = 0; s < board.n && group != 0; ++s) {
    for (int j = 0; j < board.level[s]; ++j) {
      if (board.cell[s][j] == group) costs.push_back({s, j, search.request_cost(board, s, j)});
    }
  }
  return costs;
}

// In the worst and best orders the request a line makes costs the board's value, so the value
// is found once, with every bound the table holds, and each request before the chosen one is
// only asked whether it costs that much.
std::optional<YardRequestCost> line_request(GroupedSearch& search, GroupedBoard const& board,
                                            Within within) {
  if (within == Within::random) {
    std::vector<YardRequestCost> const costs = grouped_request_costs(search, board);
    if (costs.empty()) return std::nullopt;
    auto chosen = costs.begin();
    for (auto c = costs.begin(); c != costs.end(); ++c) {
      if (chosen->cost < c->cost) chosen = c;
    }
    return *chosen;
  }
  int const group = current_group(board);
  if (group == 0) return std::nullopt;
  Moves const value = search.value(board);
  std::vector<std::pair<int, int>> asks;
  for (int s = 0; s < board.n; ++s) {
    for (int j = 0; j < board.level[s]; ++j) {
      if (board.cell[s][j] == group) asks.emplace_back(s, j);
    }
  }
  if (asks.size() == 1) return YardRequestCost{asks[0].first, asks[0].second, value};
  // A request costs the value when it reaches it (worst: none costs more), or when it cannot
  // reach past it (best: none costs less); one proof each, on the table the value left.
  for (auto [s, j] : asks) {
    bool const costs_value =
        within == Within::worst
            ? search.request_reaches(board, s, j, value)
            : !value.placed() || !search.request_reaches(board, s, j, value.whole_moves() + 1);
    if (costs_value) return YardRequestCost{s, j, value};
  }
  throw std::logic_error("no request costs the board's value");
}

std::vector<YardStep> grouped_line(GroupedSearch& search, DenseYard const& dense, int groups,
                                   Within within) {
  std::vector<YardStep> line;
  GroupedBoard current = dense.board;
  while (true) {
    std::optional<YardRequestCost> const chosen = line_request(search, current, within);
    if (!chosen) break;
    Retrieval<GroupedBoard> retrieval(current, chosen->stack, chosen->slot);
    if (!retrieval.fits()) {
      line.push_back({chosen->stack, chosen->slot, chosen->cost, 0, false,
                      yard_of(canonical(current), dense, groups)});
      break;
    }
    GroupedBoard const after =
        canonical(search.best_answer(current, chosen->stack, chosen->slot, chosen->cost));
    line.push_back({chosen->stack, chosen->slot, chosen->cost, retrieval.lifted_count(), true,
                    yard_of(after, dense, groups)});
    current = after;
  }
  return line;
}

std::vector<YardStep> yard_rule_line(std::vector<RuleCosts::Step> const& steps,
                                     DenseYard const& dense, int groups, Within within) {
  std::vector<YardStep> line;
  GroupedBoard before = canonical(dense.board);
  for (RuleCosts::Step const& step : steps) {
    bool const strict = strict_blocking(within);
    Moves const lower =
        request_bound(before, step.stack, step.slot, blocked_items(before, strict), strict);
    line.push_back({step.stack, step.slot, step.cost, step.lifted, step.placed,
                    yard_of(step.after, dense, groups), step.placed ? lower : step.cost});
    before = step.after;
  }
  return line;
}
