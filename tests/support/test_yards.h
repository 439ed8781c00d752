// Yards of retrieval groups for the tests, drawn at random, always well formed.
#pragma once

#include <algorithm>
#include <random>
#include <vector>

#include "model/yard.h"

// A yard of n stacks of the given capacity and `groups` groups. Each slot is filled, bottom up,
// with the given chance while the stack has no gap; an item stays with chance `stay`, otherwise
// it belongs to a group drawn evenly from 1 .. groups (every item stays when groups is 0).
inline Yard random_grouped_yard(std::mt19937& rng, int n_stacks, int height, double fill,
                                int groups, double stay) {
  std::bernoulli_distribution filled(fill);
  std::bernoulli_distribution stays(groups == 0 ? 1.0 : stay);
  std::uniform_int_distribution<int> group(1, groups < 1 ? 1 : groups);
  Yard yard{n_stacks, height, groups,
            std::vector<std::vector<int>>(n_stacks, std::vector<int>(height, 0))};
  for (auto& stack : yard.stacks) {
    for (int j = 0; j < height && filled(rng); ++j)
      stack[j] = stays(rng) ? yard.stays() : group(rng);
  }
  return yard;
}

// A yard shaped as the field's sets are: n stacks of t items, capacity t + 2, every priority its
// own.
inline Yard field_shaped_yard(std::mt19937& rng, int n, int tiers) {
  std::vector<int> order(static_cast<std::size_t>(n * tiers));
  for (std::size_t i = 0; i < order.size(); ++i)
    order[i] = static_cast<int>(i) + 1;
  std::shuffle(order.begin(), order.end(), rng);
  Yard yard{n, tiers + 2, n * tiers, std::vector<std::vector<int>>(n, std::vector<int>(tiers + 2))};
  for (int s = 0; s < n; ++s) {
    for (int j = 0; j < tiers; ++j)
      yard.stacks[s][j] = order[s * tiers + j];
  }
  return yard;
}
