// Yards of retrieval groups in the worst or the best order, as the proof search plays them:
// the requesting side is a maximum in the worst order and a minimum in the best; boards are
// GroupedBoards, keyed by GroupKey<W>, with the bounds of search/bounds/group_bound.h.
#pragma once

#include <algorithm>
#include <optional>
#include <vector>

#include "model/grouped_board.h"
#include "rules/retrieval.h"
#include "rules/within.h"
#include "search/bounds/committed_order_bound.h"
#include "search/bounds/group_bound.h"
#include "search/bounds/grouped_settled.h"
#include "search/proof/packed_bound_table.h"
#include "search/proof/proof_search.h"

// What every game on GroupedBoards shares.
struct GroupedRules : WholeMoves {
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
};

// Among children of equal bound, the ones whose items landed the way a good rule of thumb
// lands them are tried first: an item on the stack of least cap above it, where it blocks
// nothing and leaves the larger caps to items to come; an item that must block (on its own
// group too: the known order has no equal items, and the worst order blocks on them), on the
// stack of largest cap, where it will be lifted again the latest. cap: the least item of the
// stack before it landed (kNoItem when empty).
inline int landing_misfit(int item, int cap) {
  return cap > item ? cap - item : 2 * kNoItem - cap;
}

// The landing misfits of a placement's items, summed as a walk places them: a walk's skip
// passes on each item placed. A function of the board placed, since each item's cap is the
// least item below it there.
class LandingMisfits {
 public:
  void placed(GroupedBoard const& board, int i, int last) {
    if (i == 0) return;
    int const top = board.level[last] - 1;
    sum_[i] = sum_[i - 1] + landing_misfit(board.cell[last][top], board.low[last][top]);
  }
  // The misfit of the first `items` items placed.
  int of(int items) const { return sum_[items]; }

 private:
  int sum_[kMaxGroupedHeight + 1] = {};
};

template <int W>
class GroupedGame : public GroupedRules {
 public:
  using Board = GroupedBoard;
  using Key = GroupKey<W>;
  using Table = GroupBoundTable<W>;
  struct Child {
    Key key;
    int bound;
    int misfit;  // see landing_misfit; 0 in the best order
  };
  static constexpr bool kLookAhead = false;

  // within: worst or best.
  explicit GroupedGame(Within within) : within_(within), strict_(strict_blocking(within)) {}

  Within within() const { return within_; }
  bool strict() const { return strict_; }
  static std::uint64_t hash(Key const& key) { return GroupKeyHash<W>()(key); }
  static GroupedBoard board_of(Key const& key) { return ::board_of<W>(key); }
  Side side(int) const { return within_ == Within::worst ? Side::most : Side::least; }

  static std::optional<Proof> decided_by_table(Key const& key, int goal, int, Table const& table) {
    if (goal <= 0) return Proof{true, 0};
    if (std::optional<Bounds> const known = table.find(key)) {
      if (value_of(known->lower) >= goal) return Proof{true, value_of(known->lower)};
      if (value_of(known->upper) < goal) return Proof{false, value_of(known->upper)};
    }
    return std::nullopt;
  }
  // bound: what the board's maker worked out, which includes the committed order's bound
  // where that was worth taking; otherwise it is taken here.
  std::optional<Proof> decided_by_bounds(GroupedBoard const& board, int goal, int bound) const {
    if (goal == kNoPlacement && !can_run_out_of_room(board, items_on(board))) {
      return Proof{false, largest_finite_value(board)};
    }
    if (bound >= 0) {
      if (bound >= goal) return Proof{true, bound};
      return std::nullopt;
    }
    bool const committed = goal != kNoPlacement && commits(board);
    bound = std::max(group_lower_bound(board, within_, !committed), committed_bound(board, goal));
    if (bound >= goal) return Proof{true, bound};
    return std::nullopt;
  }
  // Whether the board's bound is the committed order's (the worst order, on a board it fits).
  // That bound follows the order of the fixed order's walk (retrieval_order_bound) and counts
  // at least what the walk does, so the walk is left out where it will be taken: on the 6x4
  // yards of bench/grouped_set.py that walk was a quarter of the worst order's time.
  bool commits(GroupedBoard const& board) const {
    return within_ == Within::worst && committed_order_fits(board);
  }
  // In the worst order, the bound of a known order the requesting side commits to, as far as
  // it decides whether the board reaches `goal` (search/bounds/committed_order_bound.h); 0
  // elsewhere.
  int committed_bound(GroupedBoard const& board, int goal) const {
    if (goal == kNoPlacement || !commits(board)) return 0;
    return committed_order_bound(board, goal - 1);
  }

  // The requests that may come next, the likeliest to decide the proof first: the hardest-
  // looking in the worst order, the cheapest-looking in the best. Equal neighbouring stacks
  // (the board is canonical) give the same requests and are left out.
  void requests(GroupedBoard const& board, std::vector<Request>& requests) const {
    int const group = current_group(board);
    if (group == 0) return;
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
  }

  // In the worst order children of equal bound are tried by their landing misfit (on the
  // 6x4 yards of bench/grouped_set.py 8 to 65 % fewer boards stored); in the best order with
  // several items a group it did not pay.
  static bool before(Child const& a, Child const& b) {
    if (a.bound != b.bound) return a.bound < b.bound;
    if (a.misfit != b.misfit) return a.misfit < b.misfit;
    return a.key.word < b.key.word;
  }

  // One retrieval's placements, cut off item by item by the placement bound and, once an
  // item is placed, the bound of a fixed order on the board placed so far.
  class Placements {
   public:
    Placements(GroupedGame const& game, GroupedBoard const& board,
               Retrieval<GroupedBoard> const& retrieval, int stack, int slot, int need)
        : game_(game),
          within_(game.within_),
          stack_(stack),
          need_(need),
          dead_end_goal_(need == kNoPlacement),
          lifting_(board, stack, slot, game.strict_),
          rest_(blocked_items(board, game.strict_) - lifting_.blocked_here),
          bound_(retrieval.lifted_count(), lifting_.items, game.strict_) {}

    bool cut(GroupedBoard const& placed, int i, int last, Outcome& out) {
      if (within_ == Within::worst) misfits_.placed(placed, i, last);
      if (dead_end_goal_ || i == lifting_.count) return false;
      int bound = bound_.after(placed, i, last, stack_, rest_) - lifting_.count;
      if (bound < need_ && i > 0 && !game_.commits(placed)) {
        // Items put on top only add to the bound of a fixed order: the board placed so far,
        // with each item still to place that is stranded counted once, bounds every child.
        // Where the children will have the committed order's bound, the placements are left
        // to it: the walk on every half-made placement cost more than it cut.
        bound = std::max(bound, retrieval_order_bound(placed, within_) + bound_.stranded());
      }
      if (bound < need_) return false;
      out.least = std::min(out.least, bound);
      return true;
    }
    std::optional<Child> child(GroupedBoard const& placed, Outcome& out) {
      placed_ = &placed;
      int const bound =
          dead_end_goal_ ? 0 : group_lower_bound(placed, within_, !game_.commits(placed));
      if (bound >= need_) {
        out.least = std::min(out.least, bound);
        return std::nullopt;
      }
      return Child{key_of<W>(placed), bound, misfits_.of(lifting_.count)};
    }
    // A child the table missed may be worth exactly its blocked items, which its bound counts
    // and no more: then it falls short (the test costs more than a look-up, so it waits for
    // the table to miss). Else the committed order's bound, dearer, may still settle it.
    bool keep(Child& child, Outcome& out) const {
      if (dead_end_goal_) return true;
      if (parks_every_blocked_item(*placed_, game_.strict_)) {
        out.refuted = child.bound;
        return false;
      }
      if (game_.within_ != Within::worst) return true;
      child.bound = std::max(child.bound, game_.committed_bound(board_of(child.key), need_));
      if (child.bound < need_) return true;
      out.least = std::min(out.least, child.bound);
      return false;
    }

   private:
    GroupedGame const& game_;
    Within within_;
    int stack_;
    int need_;
    bool dead_end_goal_;
    LiftedItems lifting_;
    int rest_;
    GroupPlacementBound bound_;
    // The placement whose child keep() is asked about: a child is looked up as soon as it is
    // made, while its placement lives.
    GroupedBoard const* placed_ = nullptr;
    LandingMisfits misfits_;  // of the worst order's placements; 0 in the best order's
  };

 private:
  Within within_;
  bool strict_;
};
