#include "search/prover.h"

#include <algorithm>
#include <bit>

#include "search/bounds/lower_bound.h"

Proof Prover::request_at_least(PackedBoard const& board, int stack, int slot, int goal) {
  if (goal <= 0) return {true, 0};
  return search_.request_reaches(WorkingBoard(board), stack, slot, goal);
}

int Prover::value(PackedBoard const& board) {
  return value(board, [&](int goal) { return at_least(board, goal); });
}

std::optional<Proof> Prover::decided(PackedBoard const& board, int goal) {
  if (auto const known = TwoClassGame::decided_by_table(board, goal, -1, search_.table())) {
    return known;
  }
  return TwoClassGame::decided_by_bounds(WorkingBoard(board), goal);
}

int Prover::value(PackedBoard const& board, std::function<Proof(int goal)> const& prove) {
  WorkingBoard const w(board);
  if (TwoClassGame::can_run_out_of_room(w, TwoClassGame::items_on(w)) &&
      prove(kNoPlacement).holds) {
    return kNoPlacement;
  }
  int v = std::max(moves_lower_bound(w), sequence_lower_bound(w));
  if (std::optional<Bounds> const known = search_.table().find(board))
    v = std::max(v, value_of(known->lower));
  return raise_while_holds(v, TwoClassGame::largest_finite_value(w), prove);
}

int Prover::request_cost(PackedBoard const& board, int stack, int slot) {
  WorkingBoard const w(board);
  if (search_.request_reaches(w, stack, slot, kNoPlacement).holds) return kNoPlacement;
  std::uint32_t const above_slot = w.targets(stack) >> slot >> 1;
  int const v =
      request_lower_bound(items_above_lowest_targets(w), free_slots_without_targets(w, -1),
                          open_stacks_without_targets(w, -1), w.level[stack] - 1 - slot,
                          std::popcount(above_slot), std::countr_zero(w.targets(stack)) == slot);
  return raise_while_holds(v, TwoClassGame::largest_finite_value(w),
                           [&](int goal) { return search_.request_reaches(w, stack, slot, goal); });
}
