// Null-window proofs on yards of retrieval groups, in the worst or the best order: "is this
// yard worth at least g moves?". The requesting side is a maximum in the worst order (one
// request that holds is enough) and a minimum in the best order (every request must hold);
// the retrieving side refutes a request with one placement. Only yards between two requests
// are stored, each with a lower and an upper bound, as in the two-class prover.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "model/grouped_board.h"
#include "rules/no_placement.h"
#include "rules/retrieval.h"
#include "rules/within.h"
#include "search/bound_table.h"
#include "search/group_bound.h"
#include "search/proof.h"

template <int W>
class GroupedProver {
 public:
  using Key = GroupKey<W>;
  using Table = BasicBoundTable<Key, GroupKeyHash<W>>;

  // within: worst or best. tick is called once for every yard expanded; it may throw.
  GroupedProver(Table& table, Within within, std::function<void()> tick)
      : table_(table), within_(within), strict_(strict_blocking(within)), tick_(std::move(tick)) {}

  Proof at_least(GroupedBoard const& board, int goal) {
    return at_least(board, key_of<W>(board), goal);
  }
  Proof request_at_least(GroupedBoard const& board, int stack, int slot, int goal) {
    if (goal <= 0) return {true, 0};
    return request_reaches(board, stack, slot, goal);
  }

  int value(GroupedBoard const& board) {
    Key const key = key_of<W>(board);
    if (can_run_out_of_room(board, items_on(board)) && at_least(board, key, kNoPlacement).holds) {
      return kNoPlacement;
    }
    int v = group_lower_bound(board, within_);
    if (std::optional<Bounds> const known = table_.find(key))
      v = std::max(v, value_of(known->lower));
    return raise(v, largest_finite_value(board),
                 [&](int goal) { return at_least(board, key, goal); });
  }

  int request_cost(GroupedBoard const& board, int stack, int slot) {
    if (request_reaches(board, stack, slot, kNoPlacement).holds) return kNoPlacement;
    int const v = request_bound(board, stack, slot, blocked_items(board, strict_), strict_);
    return raise(v, largest_finite_value(board),
                 [&](int goal) { return request_reaches(board, stack, slot, goal); });
  }

  std::uint64_t expanded() const { return expanded_; }


 private:
  struct Child {
    Key key;
    int bound;
  };
  struct Request {
    int stack;
    int slot;
    int bound;
    int lifted;
  };

  static int value_of(std::uint16_t stored) {
    return stored == Bounds::kNoValue ? kNoPlacement : static_cast<int>(stored);
  }
  static int items_on(GroupedBoard const& board) {
    int items = 0;
    for (int s = 0; s < board.n; ++s)
      items += board.level[s];
    return items;
  }
  // With at most (stacks - 1) x capacity + 1 items the lifted items always fit somewhere.
  static bool can_run_out_of_room(GroupedBoard const& board, int items) {
    return items > (board.n - 1) * board.height + 1;
  }
  static int largest_finite_value(GroupedBoard const& board) {
    int retrievable = 0;
    for (int s = 0; s < board.n; ++s) {
      for (int j = 0; j < board.level[s]; ++j)
        retrievable += board.cell[s][j] != board.stays;
    }
    return retrievable * std::max(board.height - 1, 0);
  }

  // Raises v while proofs hold; each proof may show the value higher still.
  template <class Prove>
  static int raise(int v, int most, Prove&& prove) {
    for (Proof p = prove(v + 1); p.holds; p = prove(v + 1)) {
      v = p.bound;
      if (v > most) throw std::logic_error("value search ran past every bound");
    }
    return v;
  }

  // The requests that may come next, the likeliest to decide the proof first: the hardest-
  // looking in the worst order, the cheapest-looking in the best. Equal neighbouring stacks
  // (the board is canonical) give the same requests and are left out.
  std::vector<Request> next_requests(GroupedBoard const& board) const {
    std::vector<Request> requests;
    int const group = current_group(board);
    if (group == 0) return requests;
    int const blocked = blocked_items(board, strict_);
    for (int s = 0; s < board.n; ++s) {
      if (s > 0 && board.same_stack(s, s - 1)) continue;
      for (int j = 0; j < board.level[s]; ++j) {
        if (board.cell[s][j] != group) continue;
        requests.push_back(
            {s, j, request_bound(board, s, j, blocked, strict_), board.level[s] - 1 - j});
      }
    }
    bool const hardest_first = within_ == Within::worst;
    std::sort(requests.begin(), requests.end(), [&](Request const& a, Request const& b) {
      if (a.bound != b.bound) return hardest_first ? a.bound > b.bound : a.bound < b.bound;
      return hardest_first ? a.lifted > b.lifted : a.lifted < b.lifted;
    });
    return requests;
  }

  // bound: a lower bound on the board's value already worked out, or -1.
  Proof at_least(GroupedBoard const& board, Key const& key, int goal, int bound = -1) {
    if (goal <= 0) return {true, 0};
    if (std::optional<Bounds> const known = table_.find(key)) {
      if (value_of(known->lower) >= goal) return {true, value_of(known->lower)};
      if (value_of(known->upper) < goal) return {false, value_of(known->upper)};
    }
    if (goal == kNoPlacement && !can_run_out_of_room(board, items_on(board))) {
      return {false, largest_finite_value(board)};
    }
    if (bound < 0) bound = group_lower_bound(board, within_);
    if (bound >= goal) return {true, bound};

    ++expanded_;
    tick_();
    std::vector<Request> const requests = next_requests(board);
    if (within_ == Within::worst || requests.empty()) {
      int upper = 0;  // the most any request was shown to cost, all falling short of goal
      for (Request const& r : requests) {
        Proof const request = request_reaches(board, r.stack, r.slot, goal);
        if (request.holds) {
          table_.raise_lower(key, request.bound);
          return request;
        }
        upper = std::max(upper, request.bound);
      }
      table_.cut_upper(key, upper);
      return {false, upper};
    }
    int least = kNoPlacement;  // the least any request was shown to cost, all reaching goal
    for (Request const& r : requests) {
      Proof const request = request_reaches(board, r.stack, r.slot, goal);
      if (!request.holds) {
        table_.cut_upper(key, request.bound);
        return request;
      }
      least = std::min(least, request.bound);
    }
    table_.raise_lower(key, least);
    return {true, least};
  }

  // The retrieving side refutes the request with one placement whose child is worth less than
  // goal - lifted; the request holds when none does (or none fits). Fail-soft, as in the
  // two-class prover.
  Proof request_reaches(GroupedBoard const& board, int stack, int slot, int goal) {
    Retrieval<GroupedBoard> retrieval(board, stack, slot);
    if (!retrieval.fits()) return {true, kNoPlacement};
    int const lifted = retrieval.lifted_count();
    bool const dead_end_goal = goal == kNoPlacement;
    if (!dead_end_goal && lifted >= goal) return {true, lifted};
    if (dead_end_goal && !can_run_out_of_room(board, items_on(board) - 1)) {
      return {false, plus_moves(lifted, largest_finite_value(board))};
    }
    int const need = dead_end_goal ? kNoPlacement : goal - lifted;

    int const top = board.level[stack] - 1;
    int items[kMaxGroupedHeight];
    int blocked_here = 0;
    for (int j = top; j >= slot; --j) {
      if (j > slot) items[top - j] = board.cell[stack][j];
      blocked_here += blocks_on(board.cell[stack][j], board.low[stack][j], board.stays, strict_);
    }
    int const rest = blocked_items(board, strict_) - blocked_here;
    GroupPlacementBound placement_bound(lifted, items, strict_);

    ++depth_;
    if (buffers_.size() <= depth_) buffers_.resize(depth_ + 1);
    std::vector<Child>& children = buffers_[depth_];
    children.clear();
    int least = kNoPlacement;
    std::optional<int> refuted;
    auto const always_enough = [&](GroupedBoard const& placed, int i, int last) {
      if (dead_end_goal || i == lifted) return false;
      int bound = placement_bound.after(placed, i, last, stack, rest) - lifted;
      if (bound < need && i > 0) {
        // Items put on top only add to the bound of a fixed order: the board placed so far,
        // with each item still to place that is stranded counted once, bounds every child.
        bound =
            std::max(bound, retrieval_order_bound(placed, within_) + placement_bound.stranded());
      }
      if (bound < need) return false;
      least = std::min(least, bound);
      return true;
    };
    retrieval.walk(always_enough, [&](GroupedBoard const& placed) {
      int const bound = dead_end_goal ? 0 : group_lower_bound(placed, within_);
      if (bound >= need) {
        least = std::min(least, bound);
        return true;
      }
      Key const child = key_of<W>(placed);
      if (std::optional<Bounds> const known = table_.find(child)) {
        if (value_of(known->lower) >= need) {
          least = std::min(least, value_of(known->lower));
          return true;
        }
        if (value_of(known->upper) < need) {
          refuted = value_of(known->upper);
          return false;
        }
      }
      children.push_back({child, bound});
      return true;
    });

    if (!refuted) {
      std::sort(children.begin(), children.end(), [](Child const& a, Child const& b) {
        return a.bound != b.bound ? a.bound < b.bound : a.key.word < b.key.word;
      });
      for (std::size_t c = 0; c < children.size() && !refuted; ++c) {
        if (c > 0 && children[c].key == children[c - 1].key) continue;
        Key const key = children[c].key;
        Proof const child = at_least(board_of<W>(key), key, need, children[c].bound);
        if (child.holds) {
          least = std::min(least, child.bound);
        } else {
          refuted = child.bound;
        }
      }
    }
    --depth_;
    if (refuted) return {false, plus_moves(lifted, *refuted)};
    return {true, plus_moves(lifted, least)};
  }

  Table& table_;
  Within within_;
  bool strict_;
  std::function<void()> tick_;
  std::uint64_t expanded_ = 0;
  std::deque<std::vector<Child>> buffers_;
  std::size_t depth_ = 0;
};
