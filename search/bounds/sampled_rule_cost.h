// An estimate, never a bound, of what the placement rule (search/bounds/rule_cost.h) costs on
// a yard in the random order, for yards where its exact mean is out of reach: the rule played
// against orders drawn at random, each request any item of its group alike, and the mean cost
// with its 95 % confidence interval. The draws follow a fixed seed, so the same yard gives the
// same estimate every time.
#pragma once

#include <cstdint>
#include <optional>

#include "model/grouped_board.h"

struct SampledCost {
  double mean = 0;        // moves, over the orders drawn
  double half_width = 0;  // of the 95 % confidence interval around the mean (normal approximation)
  int orders = 0;
};

inline constexpr int kSampledOrders = 1000;

// Nothing when the yard has nothing to lift or, on some order drawn, the lifted items find no
// room: the rule's cost is then no number of moves.
std::optional<SampledCost> sample_rule_cost(GroupedBoard const& board, int orders = kSampledOrders,
                                            std::uint64_t seed = 1);
