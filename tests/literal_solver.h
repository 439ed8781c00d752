// The solver exactly as its algorithm is written down, over whole State values and standard
// hash maps: slow, but with nothing clever in it, so that the packed solver can be checked
// against it table for table. Its one departure is the sound one: a child where nothing can be
// placed keeps the value kNoPlacement instead of overflowing.
#pragma once

#include <unordered_map>

#include "model/state.h"
#include "solver/compute.h"
#include "solver/gen_all_seq.h"

struct LiteralSolver {
  std::unordered_map<State, int, State::HashFunction> memo;
  std::unordered_map<State, State, State::HashFunction> memo_strat;

  int compute(State const& board) {
    if (auto it = memo.find(board); it != memo.end()) return it->second;
    int best;
    State successor;
    if (board.request.first == -1) {
      best = 0;
      successor = board.copy();
      for (int j = 0; j < board.n_stacks; ++j) {
        for (int k = 0; k < board.levels[j]; ++k) {
          if (board.stacks[j][k] != 1) continue;
          State child = board;
          child.request = {j, k};
          int const v = compute(child);
          if (v >= best) {
            best = v;
            successor = child;
          }
        }
      }
    } else {
      auto const [l, m] = board.request;
      std::vector<int> lifted;
      for (int s = board.levels[l] - 1; s > m; --s)
        lifted.push_back(board.stacks[l][s]);
      int const n = static_cast<int>(lifted.size());
      best = kNoPlacement;
      successor = board;
      for (auto const& seq : gen_all_seq(board.n_stacks, n, l)) {
        State child = board;
        child.request = kNoRequest;
        for (int i = 0; i <= n; ++i)
          child.pop(l);
        bool fits = true;
        for (int i = 0; i < n && fits; ++i)
          fits = child.add(seq[i], lifted[i]);
        if (!fits) continue;
        child.sort_stacks();
        int v = compute(child);
        if (v != kNoPlacement) v += n;
        if (v < best) {
          best = v;
          successor = child;
        }
      }
    }
    memo[board] = best;
    memo_strat[board] = successor;
    return best;
  }
};
