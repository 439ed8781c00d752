#include "search/bounds/sampled_rule_cost.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "rules/retrieval.h"
#include "search/bounds/group_bound.h"
#include "search/bounds/rule_cost.h"
#include "search/stop_poll.h"

namespace {

// The rule's cost on one order drawn as it goes; nothing when lifted items find no room.
std::optional<int> one_order(GroupedBoard board, std::mt19937_64& random) {
  int cost = 0;
  std::vector<std::pair<int, int>> items;
  while (int const group = current_group(board)) {
    StopPoll::poll();
    items.clear();
    for (int s = 0; s < board.n; ++s) {
      for (int j = 0; j < board.level[s]; ++j) {
        if (board.cell[s][j] == group) items.push_back({s, j});
      }
    }
    std::uniform_int_distribution<std::size_t> pick(0, items.size() - 1);
    auto const [stack, slot] = items[pick(random)];
    Retrieval<GroupedBoard> const retrieval(board, stack, slot);
    if (!retrieval.fits()) return std::nullopt;
    cost += retrieval.lifted_count();
    board = place_by_rule(board, stack, slot, Within::random);
  }
  return cost;
}

}  // namespace

std::optional<SampledCost> sample_rule_cost(GroupedBoard const& board, int orders,
                                            std::uint64_t seed) {
  if (orders < 2 || current_group(board) == 0) return std::nullopt;
  std::mt19937_64 random(seed);
  double sum = 0;
  double squares = 0;
  for (int k = 0; k < orders; ++k) {
    std::optional<int> const cost = one_order(board, random);
    if (!cost) return std::nullopt;
    sum += *cost;
    squares += static_cast<double>(*cost) * *cost;
  }
  double const n = orders;
  double const mean = sum / n;
  double const variance = std::max(0.0, (squares - n * mean * mean) / (n - 1));
  return SampledCost{mean, 1.959964 * std::sqrt(variance / n), orders};
}
