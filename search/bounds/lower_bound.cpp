#include "search/bounds/lower_bound.h"

#include <algorithm>
#include <array>
#include <bit>

int items_above_lowest_targets(WorkingBoard const& board) {
  int sum = 0;
  for (int s = 0; s < board.n; ++s)
    sum += board.above_lowest_target(s);
  return sum;
}

int free_slots_without_targets(WorkingBoard const& board, int except) {
  int free = 0;
  for (int s = 0; s < board.n; ++s) {
    if (s != except && board.targets(s) == 0) free += board.free_slots(s);
  }
  return free;
}

int open_stacks_without_targets(WorkingBoard const& board, int except) {
  int open = 0;
  for (int s = 0; s < board.n; ++s) {
    if (s != except && board.targets(s) == 0 && !board.full(s)) ++open;
  }
  return open;
}

int deepest_above_lowest_target(WorkingBoard const& board) {
  int deepest = 0;
  for (int s = 0; s < board.n; ++s)
    deepest = std::max(deepest, board.above_lowest_target(s));
  return deepest;
}

int most_targets_above_lowest(WorkingBoard const& board) {
  int most = 0;
  for (int s = 0; s < board.n; ++s)
    most = std::max(most, std::popcount(board.targets(s)) - 1);
  return most;
}

int moves_lower_bound(WorkingBoard const& board) {
  int const free = free_slots_without_targets(board, -1);
  int const open = open_stacks_without_targets(board, -1);
  return items_above_lowest_targets(board) + std::max({0, deepest_above_lowest_target(board) - free,
                                                       most_targets_above_lowest(board) - open});
}

int sequence_lower_bound(WorkingBoard const& board, int enough) {
  struct Emptying {
    int above;    // items above the lowest target
    int targets;  // of them targets
    int room;     // free slots once the lowest target has left
  };
  std::array<Emptying, kMaxSequenceStacks> stacks;
  int m = 0;
  int sum = 0;
  for (int s = 0; s < board.n; ++s) {
    std::uint32_t const t = board.targets(s);
    int const above = board.above_lowest_target(s);
    sum += above;
    // Any stacks will do for the bound: past the most the search can afford, the rest only
    // count in S.
    if (above > 0 && m < kMaxSequenceStacks) {
      int const low = std::countr_zero(t);
      stacks[m++] = {above, std::popcount(t) - 1, board.height - low};
    }
  }
  // For a set of stacks emptied so far, in the order that gives the most extra moves: those
  // moves, and the free slots and open stacks left (the most the retrieving side can keep; at
  // equal moves, the order that keeps more open stacks).
  struct Reached {
    int extra = -1;
    int free = 0;
    int open = 0;
  };
  auto const after = [&](Reached const& r, Emptying const& e) {
    int const twice = std::max({0, e.above - r.free, e.targets - r.open});
    int const landed = e.above - twice;
    int const landed_targets = std::max(0, landed - (e.above - e.targets));
    return Reached{r.extra + twice, r.free - landed + e.room,
                   r.open - landed_targets + (e.room > 0 ? 1 : 0)};
  };
  auto const better = [](Reached const& a, Reached const& b) {
    return a.extra > b.extra || (a.extra == b.extra && a.open > b.open);
  };
  Reached const start{0, free_slots_without_targets(board, -1),
                      open_stacks_without_targets(board, -1)};
  // One order first, each time the stack that costs most now: the bound is mostly wanted
  // against a goal, and this order alone most often reaches it.
  Reached greedy = start;
  for (int used = 0, step = 0; step < m; ++step) {
    Reached pick;
    int picked = 0;
    for (int k = 0; k < m; ++k) {
      if (used >> k & 1) continue;
      if (Reached const next = after(greedy, stacks[k]); better(next, pick)) {
        pick = next;
        picked = k;
      }
    }
    greedy = pick;
    used |= 1 << picked;
  }
  if (sum + greedy.extra >= enough) return sum + greedy.extra;

  std::array<Reached, 1 << kMaxSequenceStacks> reached;
  for (int set = 1; set < (1 << m); ++set)
    reached[set] = {};
  reached[0] = start;
  int best = greedy.extra;
  for (int set = 0; set < (1 << m); ++set) {
    Reached const r = reached[set];
    if (r.extra < 0) continue;
    best = std::max(best, r.extra);
    if (sum + best >= enough) break;
    for (int k = 0; k < m; ++k) {
      if (set >> k & 1) continue;
      Reached& to = reached[set | 1 << k];
      if (Reached const next = after(r, stacks[k]); better(next, to)) to = next;
    }
  }
  return sum + best;
}
