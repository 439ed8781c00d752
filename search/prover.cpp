#include "search/prover.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <stdexcept>

#include "rules/no_placement.h"
#include "rules/retrieval.h"
#include "search/lower_bound.h"
#include "search/settled_value.h"

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
  return requests;
}

// Tries items 0, 1, ... of a list in turn until try_one(i) says that one decided. Beside other
// threads (busy set), an item after the first that another thread is in is put off until the
// rest have been tried. The first is tried by every thread: most often it decides alone, and
// the threads that follow one another down through first items spread out below.
template <class IsBusy, class Try>
void in_turn(std::size_t count, BusyBoards const* busy, IsBusy&& is_busy, Try&& try_one) {
  std::vector<std::size_t> later;
  for (std::size_t i = 0; i < count; ++i) {
    if (busy && i > 0 && is_busy(i)) {
      later.push_back(i);
    } else if (try_one(i)) {
      return;
    }
  }
  for (std::size_t i : later) {
    if (try_one(i)) return;
  }
}

}  // namespace

std::vector<Prover::Child>& Prover::children_buffer() {
  if (buffers_.size() <= depth_) buffers_.resize(depth_ + 1);
  buffers_[depth_].clear();
  return buffers_[depth_];
}

std::optional<Proof> Prover::decided_by_table(PackedBoard const& board, int goal) const {
  if (goal <= 0) return Proof{true, 0};
  if (std::optional<Bounds> const known = table_.find(board)) {
    if (value_of(known->lower) >= goal) return Proof{true, value_of(known->lower)};
    if (value_of(known->upper) < goal) return Proof{false, value_of(known->upper)};
  }
  return std::nullopt;
}

std::optional<Proof> Prover::decided_by_bounds(WorkingBoard const& w, int goal) {
  if (goal == kNoPlacement && !can_run_out_of_room(w)) {
    return Proof{false, largest_finite_value(w)};
  }
  if (int const bound = moves_lower_bound(w); bound >= goal) return Proof{true, bound};
  if (int const settled = settled_value(w); settled >= 0) return Proof{false, settled};
  if (goal != kNoPlacement) {
    if (int const seq = sequence_lower_bound(w, goal); seq >= goal) return Proof{true, seq};
  }
  return std::nullopt;
}

Proof Prover::at_least(PackedBoard const& board, int goal) {
  if (std::optional<Proof> const known = decided_by_table(board, goal)) return *known;
  WorkingBoard const w(board);
  if (std::optional<Proof> const bounded = decided_by_bounds(w, goal)) return *bounded;

  ++expanded_;
  tick_();
  std::uint64_t const hash = busy_ ? PackedBoardHash()(board) : 0;
  BusyBoards::Mark const expanding(busy_, hash);
  std::vector<Request> const requests = requests_hardest_first(w);
  auto const request_hash = [&](std::size_t i) {
    return BusyBoards::request_hash(hash, requests[i].stack, requests[i].slot);
  };
  int upper = 0;  // the most any request was shown to cost, all of them falling short of goal
  std::optional<Proof> held;
  in_turn(
      requests.size(), helping_ ? busy_ : nullptr,
      [&](std::size_t i) { return busy_->busy(request_hash(i)); },
      [&](std::size_t i) {
        BusyBoards::Mark const trying(busy_, busy_ ? request_hash(i) : 0);
        Proof const request = request_reaches(w, requests[i].stack, requests[i].slot, goal);
        if (request.holds) held = request;
        upper = std::max(upper, request.bound);
        return request.holds;
      });
  if (held) {
    table_.raise_lower(board, held->bound);
    return *held;
  }
  table_.cut_upper(board, upper);
  return {false, upper};
}

Proof Prover::request_at_least(PackedBoard const& board, int stack, int slot, int goal) {
  if (goal <= 0) return {true, 0};
  return request_reaches(WorkingBoard(board), stack, slot, goal);
}

// The retrieving side refutes the request with one placement whose child is worth less than
// goal - lifted; the request holds when no placement does (or when none fits at all). Either
// way the proof says how far it got: the least that every placement was shown to be worth, or
// what the refuting placement was shown to be worth at most.
Proof Prover::request_reaches(WorkingBoard const& board, int stack, int slot, int goal) {
  Retrieval retrieval(board, stack, slot);
  if (!retrieval.fits()) return {true, kNoPlacement};
  int const lifted = retrieval.lifted_count();
  bool const dead_end_goal = goal == kNoPlacement;
  if (!dead_end_goal && lifted >= goal) return {true, lifted};
  // Every child holds one item less than the board: the target is gone.
  if (dead_end_goal && !can_run_out_of_room(board, items_on(board) - 1)) {
    return {false, lifted + largest_finite_value(board)};
  }
  int const need = dead_end_goal ? kNoPlacement : goal - lifted;

  ++depth_;
  std::vector<Child>& children = children_buffer();
  Outcome out;
  int lifted_targets[kMaxPackedHeight + 1];  // among lifted items i and above, from the top
  lifted_targets[lifted] = 0;
  for (int i = lifted - 1; i >= 0; --i)
    lifted_targets[i] = lifted_targets[i + 1] + (retrieval.lifted_item(i) == kTarget);
  PlacementBound placement_bound(lifted, retrieval.from(), lifted_targets);
  auto const always_enough = [&](WorkingBoard const& placed, int i, int last) {
    if (dead_end_goal) return false;
    int const bound = placement_bound.after(placed, i, last);
    if (i == lifted || bound < need) return false;
    out.least = std::min(out.least, bound);
    return true;
  };
  // A child is looked up in the table while the next placement is made, its slot fetched
  // meanwhile: the look-ups, which mostly miss the caches, took some 40 % of the time (and
  // looking four placements ahead gained no more). A child that refutes stops the walk one
  // placement later than it could have.
  std::optional<Child> pending;
  retrieval.walk(always_enough, [&](WorkingBoard const& placed) {
    int const bound = dead_end_goal ? 0 : placement_bound.child();
    if (bound >= need) {
      out.least = std::min(out.least, bound);
      return true;
    }
    // Worth no more than its bound, which falls short.
    if (int const settled = settled_value(placed); settled >= 0) {
      out.refuted = settled;
      return false;
    }
    Child const child{placed.canonical(), bound};
    table_.prefetch(child.board);
    bool const go_on = !pending || look_up(*pending, need, children, out);
    pending = child;
    return go_on;
  });
  if (pending && !out.refuted) look_up(*pending, need, children, out);
  if (!out.refuted) search_children(children, need, out);
  --depth_;
  if (out.refuted) return {false, plus_moves(lifted, *out.refuted)};
  return {true, plus_moves(lifted, out.least)};
}

bool Prover::look_up(Child const& child, int need, std::vector<Child>& children, Outcome& out) {
  if (std::optional<Bounds> const known = table_.find(child.board)) {
    if (value_of(known->lower) >= need) {
      out.least = std::min(out.least, value_of(known->lower));
      return true;
    }
    if (value_of(known->upper) < need) {
      out.refuted = value_of(known->upper);
      return false;
    }
  }
  children.push_back(child);
  return true;
}

void Prover::search_children(std::vector<Child>& children, int need, Outcome& out) {
  // Cheapest-looking children first: the likeliest to refute.
  std::sort(children.begin(), children.end(), [](Child const& a, Child const& b) {
    return a.bound != b.bound
               ? a.bound < b.bound
               : (a.board.hi != b.board.hi ? a.board.hi < b.board.hi : a.board.lo < b.board.lo);
  });
  in_turn(
      children.size(), helping_ ? busy_ : nullptr,
      [&](std::size_t c) { return busy_->busy(PackedBoardHash()(children[c].board)); },
      [&](std::size_t c) {
        if (c > 0 && children[c].board == children[c - 1].board) return false;
        Proof const child = at_least(children[c].board, need);
        if (child.holds) {
          out.least = std::min(out.least, child.bound);
        } else {
          out.refuted = child.bound;
        }
        return !child.holds;
      });
}

int Prover::value(PackedBoard const& board) {
  return value(board, [&](int goal) { return at_least(board, goal); });
}

std::optional<Proof> Prover::decided(PackedBoard const& board, int goal) {
  if (std::optional<Proof> const known = decided_by_table(board, goal)) return known;
  return decided_by_bounds(WorkingBoard(board), goal);
}

int Prover::value(PackedBoard const& board, std::function<Proof(int goal)> const& prove) {
  WorkingBoard const w(board);
  if (can_run_out_of_room(w) && prove(kNoPlacement).holds) return kNoPlacement;
  int v = std::max(moves_lower_bound(w), sequence_lower_bound(w));
  if (std::optional<Bounds> const known = table_.find(board))
    v = std::max(v, value_of(known->lower));
  int const most = largest_finite_value(w);
  // Each proof that the board is worth more may show it worth more still: jump to that.
  for (Proof p = prove(v + 1); p.holds; p = prove(v + 1)) {
    v = p.bound;
    if (v > most) throw std::logic_error("value search ran past every bound");
  }
  return v;
}

int Prover::request_cost(PackedBoard const& board, int stack, int slot) {
  WorkingBoard const w(board);
  if (request_reaches(w, stack, slot, kNoPlacement).holds) return kNoPlacement;
  std::uint32_t const above_slot = w.targets(stack) >> slot >> 1;
  int v =
      request_lower_bound(items_above_lowest_targets(w), free_slots_without_targets(w, -1),
                          open_stacks_without_targets(w, -1), w.level[stack] - 1 - slot,
                          std::popcount(above_slot), std::countr_zero(w.targets(stack)) == slot);
  int const most = largest_finite_value(w);
  for (Proof p = request_reaches(w, stack, slot, v + 1); p.holds;
       p = request_reaches(w, stack, slot, v + 1)) {
    v = p.bound;
    if (v > most) throw std::logic_error("cost search ran past every bound");
  }
  return v;
}
