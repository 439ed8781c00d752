#include "search/prover.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <stdexcept>

#include "search/lower_bound.h"
#include "solver/compute.h"
#include "solver/retrieval.h"

namespace {

int value_of(std::uint16_t stored) {
  return stored == Bounds::kNoValue ? kNoPlacement : static_cast<int>(stored);
}

int items_on(WorkingBoard const& board) {
  int items = 0;
  for (int s = 0; s < board.n; ++s)
    items += board.level[s];
  return items;
}

int targets_on(WorkingBoard const& board) {
  int targets = 0;
  for (int s = 0; s < board.n; ++s)
    targets += std::popcount(board.targets(s));
  return targets;
}

// With at most (stacks - 1) x capacity + 1 items, the lifted items of every request fit on the
// other stacks, now and after every retrieval (a retrieval takes one item away).
bool can_run_out_of_room(WorkingBoard const& board, int items) {
  return items > (board.n - 1) * board.height + 1;
}
bool can_run_out_of_room(WorkingBoard const& board) {
  return can_run_out_of_room(board, items_on(board));
}

// The most a board whose every request can be served can be worth: each target lifts at most
// capacity - 1 items.
int largest_finite_value(WorkingBoard const& board) {
  return targets_on(board) * std::max(board.height - 1, 0);
}

struct Request {
  int stack;
  int slot;
  int bound;
  int lifted;
};

// Every target on the board, hardest-looking first; a stack equal to the one before it gives
// the same requests and is left out.
std::vector<Request> requests_hardest_first(WorkingBoard const& board) {
  std::vector<Request> requests;
  for (int s = 0; s < board.n; ++s) {
    if (s > 0 && board.code[s] == board.code[s - 1]) continue;
    for (std::uint32_t t = board.targets(s); t != 0; t &= t - 1) {
      int const slot = std::countr_zero(t);
      requests.push_back({s, slot, request_lower_bound(board, s, slot), board.level[s] - 1 - slot});
    }
  }
  std::sort(requests.begin(), requests.end(), [](Request const& a, Request const& b) {
    return a.bound != b.bound ? a.bound > b.bound : a.lifted > b.lifted;
  });
  return requests;
}

}  // namespace

std::vector<Prover::Child>& Prover::children_buffer() {
  if (buffers_.size() <= depth_) buffers_.resize(depth_ + 1);
  buffers_[depth_].clear();
  return buffers_[depth_];
}

bool Prover::at_least(PackedBoard const& board, int goal) {
  if (goal <= 0) return true;
  if (Bounds const* known = table_.find(board)) {
    if (value_of(known->lower) >= goal) return true;
    if (value_of(known->upper) < goal) return false;
  }
  WorkingBoard const w(board);
  if (goal == kNoPlacement && !can_run_out_of_room(w)) return false;
  if (goal != kNoPlacement && moves_lower_bound(w) >= goal) return true;

  ++expanded_;
  tick_();
  for (Request const& r : requests_hardest_first(w)) {
    if (request_reaches(w, r.stack, r.slot, goal)) {
      table_.raise_lower(board, goal);
      return true;
    }
  }
  table_.cut_upper(board, goal == kNoPlacement ? largest_finite_value(w) : goal - 1);
  return false;
}

bool Prover::request_at_least(PackedBoard const& board, int stack, int slot, int goal) {
  if (goal <= 0) return true;
  return request_reaches(WorkingBoard(board), stack, slot, goal);
}

// The retrieving side refutes the request with one placement whose child is worth less than
// goal - lifted; the request holds when no placement does (or when none fits at all).
bool Prover::request_reaches(WorkingBoard const& board, int stack, int slot, int goal) {
  Retrieval retrieval(board, stack, slot);
  if (!retrieval.fits()) return true;
  int const lifted = retrieval.lifted_count();
  bool const dead_end_goal = goal == kNoPlacement;
  if (!dead_end_goal && lifted >= goal) return true;
  // Every child holds one item less than the board: the target is gone.
  if (dead_end_goal && !can_run_out_of_room(board, items_on(board) - 1)) return false;
  int const need = dead_end_goal ? kNoPlacement : goal - lifted;

  ++depth_;
  std::vector<Child>& children = children_buffer();
  bool refuted = false;
  // Cut off every placement that cannot bring its child below need: the items already placed
  // only add to the bound, and of the items still to place at most the free slots on stacks
  // without targets can land where they add nothing.
  auto const always_enough = [&](WorkingBoard const& placed, int i) {
    if (dead_end_goal) return false;
    int const to_place = lifted - i;
    int const free = free_slots_without_targets(placed, retrieval.from());
    return items_above_lowest_targets(placed) + std::max(0, to_place - free) >= need;
  };
  retrieval.walk(always_enough, [&](WorkingBoard const& placed) {
    int const bound = dead_end_goal ? 0 : moves_lower_bound(placed);
    if (bound >= need) return true;
    PackedBoard const child = placed.canonical();
    if (Bounds const* known = table_.find(child)) {
      if (value_of(known->lower) >= need) return true;
      if (value_of(known->upper) < need) {
        refuted = true;
        return false;
      }
    }
    children.push_back({child, bound});
    return true;
  });

  if (!refuted) {
    // Cheapest-looking children first: the likeliest to refute.
    std::sort(children.begin(), children.end(), [](Child const& a, Child const& b) {
      return a.bound != b.bound
                 ? a.bound < b.bound
                 : (a.board.hi != b.board.hi ? a.board.hi < b.board.hi : a.board.lo < b.board.lo);
    });
    for (std::size_t c = 0; c < children.size() && !refuted; ++c) {
      if (c > 0 && children[c].board == children[c - 1].board) continue;
      refuted = !at_least(children[c].board, need);
    }
  }
  --depth_;
  return !refuted;
}

int Prover::value(PackedBoard const& board) {
  WorkingBoard const w(board);
  if (can_run_out_of_room(w) && at_least(board, kNoPlacement)) return kNoPlacement;
  int v = moves_lower_bound(w);
  if (Bounds const* known = table_.find(board)) v = std::max(v, value_of(known->lower));
  while (at_least(board, v + 1))
    ++v;
  if (v > largest_finite_value(w)) throw std::logic_error("value search ran past every bound");
  return v;
}

int Prover::request_cost(PackedBoard const& board, int stack, int slot) {
  WorkingBoard const w(board);
  if (request_reaches(w, stack, slot, kNoPlacement)) return kNoPlacement;
  int v = request_lower_bound(w, stack, slot);
  while (request_reaches(w, stack, slot, v + 1))
    ++v;
  if (v > largest_finite_value(w)) throw std::logic_error("cost search ran past every bound");
  return v;
}
