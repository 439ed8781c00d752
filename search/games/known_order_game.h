// Yards whose every group holds one item, as the proof search plays them: the classic problem
// with a known order, where each request is forced and only the retrieving side chooses. An
// item asked for that lies on top of its stack leaves at once, free of cost, so a child is the
// board after those free retrievals, and only boards whose next request lifts something are
// searched or stored. Children are tried by least lower bound (search/bounds/known_order_bound.h),
// then by how well their items landed (see landing_misfit), then by key.
//
// The boards it takes always have room for the lifted items (see always_fits): there, every
// line goes on to the end, and "no placement" never happens.
#pragma once

#include <algorithm>
#include <climits>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "model/grouped_board.h"
#include "rules/retrieval.h"
#include "search/bounds/group_bound.h"
#include "search/bounds/grouped_settled.h"
#include "search/bounds/known_order_bound.h"
#include "search/games/grouped_game.h"
#include "search/proof/packed_bound_table.h"
#include "search/proof/proof_search.h"
#include "search/stop_poll.h"

// With at most (stacks - 1) x capacity + 1 items the other stacks always have room for the
// items above any item asked for.
inline bool always_fits(GroupedBoard const& board) {
  return GroupedRules::items_on(board) <= (board.n - 1) * board.height + 1;
}

// Takes out every item asked for while it lies on top of its stack. Returns the stack and slot
// of the next item asked for, which lifts something, or {-1, -1} when no item will be asked for.
std::pair<int, int> retrieve_free_items(GroupedBoard& board);

// The request of a board that has had its free retrievals, or {-1, -1} when none is left.
std::pair<int, int> next_request(GroupedBoard const& board);

// Cuts off a placement half made when every child below it must cost more than `need` moves
// after the lifted items (partial() says how much they must cost at least), and follows the
// landing misfit of the items placed so far. A walk's skip.
class KnownOrderCut {
 public:
  KnownOrderCut(GroupedBoard const& board, int stack, int slot, int need, bool keep_moved_items)
      : keep_moved_items_(keep_moved_items),
        stack_(stack),
        need_(need),
        lifting_(board, stack, slot, false),
        bound_(lifting_.count, lifting_.items, false) {
    rest_ = blocked_items(board, false) - lifting_.blocked_here;
  }
  KnownOrderCut(KnownOrderCut const&) = delete;
  KnownOrderCut& operator=(KnownOrderCut const&) = delete;

  bool operator()(GroupedBoard const& placed, int i, int last) {
    StopPoll::poll();
    int const lifted = lifting_.count;
    misfits_.placed(placed, i, last);
    partial_ = bound_.after(placed, i, last, stack_, rest_) - lifted;
    if (need_ == INT_MAX) return false;
    if (partial_ <= need_ && i > 0 && i < lifted) {
      // Items put on top only add to the bound: the board placed so far, with each item
      // still to place that is stranded counted once, bounds every child.
      int const stranded = bound_.stranded();
      partial_ =
          std::max(partial_, known_order_bound(placed, need_ - stranded, keep_moved_items_,
                                               landing_budget(GroupedRules::items_on(placed))) +
                                 stranded);
    }
    return partial_ > need_;
  }
  // From now on, cut off what must cost more than `need`.
  void tighten(int need) { need_ = need; }
  // What every child below the placement just cut off costs at least, after the lifted items.
  int partial() const { return partial_; }
  // The misfit of the placement just finished.
  int misfit() const { return misfits_.of(lifting_.count); }

 private:
  bool keep_moved_items_;
  int stack_;
  int need_;
  LiftedItems lifting_;
  int rest_ = 0;
  int partial_ = 0;
  LandingMisfits misfits_;
  GroupPlacementBound bound_;
};

template <int W>
class KnownOrderGame : public GroupedRules {
 public:
  using Board = GroupedBoard;
  using Key = GroupKey<W>;
  using Table = GroupBoundTable<W>;
  struct Child {
    Key key;
    int bound;
    int misfit;  // see landing_misfit
  };
  // The dearer bound of a child is taken after its table look-up, from scratch the plain bound
  // left, so look-ups cannot wait for the next placement.
  static constexpr bool kLookAhead = false;

  // keep_moved_items: the bound's second count (see known_order_bound), left out only to check
  // it against the first.
  explicit KnownOrderGame(bool keep_moved_items) : keep_moved_items_(keep_moved_items) {}

  bool keep_moved_items() const { return keep_moved_items_; }
  static std::uint64_t hash(Key const& key) { return GroupKeyHash<W>()(key); }
  static GroupedBoard board_of(Key const& key) { return ::board_of<W>(key); }
  static Side side(int) { return Side::most; }

  // The board's bound, passed in by whoever made it, decides before the table.
  static std::optional<Proof> decided_by_table(Key const& key, int goal, int bound,
                                               Table const& table) {
    if (bound >= goal) return Proof{true, bound};
    if (std::optional<Bounds> const known = table.find(key)) {
      if (value_of(known->upper) < goal) return Proof{false, value_of(known->upper)};
      if (value_of(known->lower) >= goal) return Proof{true, value_of(known->lower)};
    }
    return std::nullopt;
  }
  static std::optional<Proof> decided_by_bounds(GroupedBoard const& board, int, int) {
    if (next_request(board).first < 0) return Proof{false, 0};
    return std::nullopt;
  }
  static void requests(GroupedBoard const& board, std::vector<Request>& requests) {
    auto const [stack, slot] = next_request(board);
    requests.push_back({stack, slot, 0, 0});
  }

  static bool before(Child const& a, Child const& b) {
    if (a.bound != b.bound) return a.bound < b.bound;
    if (a.misfit != b.misfit) return a.misfit < b.misfit;
    return a.key.word < b.key.word;
  }

  // One retrieval's placements: cut while half made, each child taken after its free
  // retrievals, the dearer bound taken only on children that the plain bound and the table
  // leave open.
  class Placements {
   public:
    Placements(KnownOrderGame& game, GroupedBoard const& board, Retrieval<GroupedBoard> const&,
               int stack, int slot, int need)
        : game_(game),
          need_(need - 1),
          items_(items_on(board) - 1),
          cut_(board, stack, slot, need - 1, game.keep_moved_items_) {}

    bool cut(GroupedBoard const& placed, int i, int last, Outcome& out) {
      if (!cut_(placed, i, last)) return false;
      out.least = std::min(out.least, cut_.partial());
      return true;
    }
    std::optional<Child> child(GroupedBoard const& placed, Outcome& out) {
      GroupedBoard child = placed;
      retrieve_free_items(child);
      int const bound = game_.bound_.plain(child);
      if (bound > need_) {
        out.least = std::min(out.least, bound);
        return std::nullopt;
      }
      // Worth exactly its blocked items, which its bound counts and no more: it refutes.
      if (parks_every_blocked_item(child, true)) {
        out.refuted = blocked_items(child, true);
        return std::nullopt;
      }
      return Child{key_of<W>(child), bound, cut_.misfit()};
    }
    bool keep(Child& child, Outcome& out) {
      if (!game_.keep_moved_items_) return true;
      child.bound = game_.bound_.refined(need_, landing_budget(items_));
      if (child.bound <= need_) return true;
      out.least = std::min(out.least, child.bound);
      return false;
    }

   private:
    KnownOrderGame& game_;
    int need_;   // a child must cost at most this to refute
    int items_;  // on the children, free retrievals aside
    KnownOrderCut cut_;
  };

 private:
  bool keep_moved_items_;
  KnownOrderBound bound_;  // scratch for the bounds of children
};
