#include "search/games/two_class_game.h"

#include <algorithm>
#include <bit>

int TwoClassGame::items_on(WorkingBoard const& board) {
  int items = 0;
  for (int s = 0; s < board.n; ++s)
    items += board.level[s];
  return items;
}

int TwoClassGame::largest_finite_value(WorkingBoard const& board) {
  int targets = 0;
  for (int s = 0; s < board.n; ++s)
    targets += std::popcount(board.targets(s));
  return targets * std::max(board.height - 1, 0);
}

std::optional<Proof> TwoClassGame::decided_by_table(PackedBoard const& key, int goal, int,
                                                    PackedBoundTable const& table) {
  if (goal <= 0) return Proof{true, 0};
  if (std::optional<Bounds> const known = table.find(key)) {
    if (value_of(known->lower) >= goal) return Proof{true, value_of(known->lower)};
    if (value_of(known->upper) < goal) return Proof{false, value_of(known->upper)};
  }
  return std::nullopt;
}

std::optional<Proof> TwoClassGame::decided_by_bounds(WorkingBoard const& w, int goal, int) {
  if (goal == kNoPlacement && !can_run_out_of_room(w, items_on(w))) {
    return Proof{false, largest_finite_value(w)};
  }
  if (int const bound = moves_lower_bound(w); bound >= goal) return Proof{true, bound};
  if (int const settled = settled_value(w); settled >= 0) return Proof{false, settled};
  if (goal != kNoPlacement) {
    if (int const seq = sequence_lower_bound(w, goal); seq >= goal) return Proof{true, seq};
  }
  return std::nullopt;
}

void TwoClassGame::requests(WorkingBoard const& board, std::vector<Request>& requests) {
  int const above = items_above_lowest_targets(board);
  int const free = free_slots_without_targets(board, -1);
  int const open = open_stacks_without_targets(board, -1);
  for (int s = 0; s < board.n; ++s) {
    if (s > 0 && board.code[s] == board.code[s - 1]) continue;
    for (std::uint32_t t = board.targets(s); t != 0; t &= t - 1) {
      int const slot = std::countr_zero(t);
      int const lifted = board.level[s] - 1 - slot;
      int const lifted_targets = std::popcount(t) - 1;
      bool const lowest = t == board.targets(s);
      requests.push_back({s, slot,
                          request_lower_bound(above, free, open, lifted, lifted_targets, lowest),
                          lifted});
    }
  }
  std::sort(requests.begin(), requests.end(), [](Request const& a, Request const& b) {
    return a.bound != b.bound ? a.bound > b.bound : a.lifted > b.lifted;
  });
}
