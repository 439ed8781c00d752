// Boards for the tests: built by hand or at random, always well formed.
#pragma once

#include <algorithm>
#include <random>

#include "model/state.h"

// A board of n stacks of the given capacity; each slot is filled, bottom up, with the given
// chance while the stack has no gap, and holds a target or an other item at even odds.
inline State random_board(std::mt19937& rng, int n_stacks, int height, double fill) {
  std::bernoulli_distribution filled(fill);
  std::bernoulli_distribution target(0.5);
  std::vector<std::vector<int>> stacks(n_stacks, std::vector<int>(height, kEmpty));
  for (auto& stack : stacks) {
    for (int j = 0; j < height && filled(rng); ++j)
      stack[j] = target(rng) ? kTarget : kOther;
  }
  return State(stacks, kNoRequest);
}

// The board of these stacks in canonical order, no request pending.
inline State canonical(std::vector<std::vector<int>> const& stacks) {
  State board(stacks, kNoRequest);
  board.sort_stacks();
  return board;
}

// The same board with the target at (stack, slot) asked for.
inline State asking(State board, int stack, int slot) {
  board.request = {stack, slot};
  return board;
}

// A random board of n stacks of the given capacity holding `items` items, `targets` of them
// targets, spread at random (no gaps).
inline State random_yard(std::mt19937& rng, int n, int height, int items, int targets) {
  std::vector<std::vector<int>> stacks(n, std::vector<int>(height, kEmpty));
  std::vector<int> level(n, 0);
  std::vector<int> kinds(items, kOther);
  std::fill(kinds.begin(), kinds.begin() + targets, kTarget);
  std::shuffle(kinds.begin(), kinds.end(), rng);
  for (int kind : kinds) {
    std::vector<int> open;
    for (int s = 0; s < n; ++s) {
      if (level[s] < height) open.push_back(s);
    }
    int const s = open[std::uniform_int_distribution<std::size_t>(0, open.size() - 1)(rng)];
    stacks[s][level[s]++] = kind;
  }
  return canonical(stacks);
}
