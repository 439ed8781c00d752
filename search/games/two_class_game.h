// The two-class game (targets and other items, the worst order) as the proof search plays it:
// packed boards in the lock-free table, the one-ply bound and the settled value on every board,
// the bound of a sequence of requests where the one-ply bound falls short, and the placement
// bound kept item by item while a retrieval is placed (search/bounds/lower_bound.h).
#pragma once

#include <optional>
#include <vector>

#include "model/packed_board.h"
#include "model/working_board.h"
#include "rules/retrieval.h"
#include "search/bounds/lower_bound.h"
#include "search/bounds/settled_value.h"
#include "search/proof/packed_bound_table.h"
#include "search/proof/proof_search.h"

struct TwoClassGame : WholeMoves {
  using Board = WorkingBoard;
  using Key = PackedBoard;
  using Table = PackedBoundTable;
  struct Child {
    PackedBoard key;
    int bound;  // lower bound on its value
  };
  // Look-ups mostly miss the caches, and took some 40 % of the time before a child's slot was
  // fetched while the next placement is made (looking four placements ahead gained no more).
  static constexpr bool kLookAhead = true;

  static std::uint64_t hash(PackedBoard const& key) { return PackedBoardHash()(key); }
  static Board board_of(PackedBoard const& key) { return WorkingBoard(key); }
  static Side side(int) { return Side::most; }

  static int items_on(WorkingBoard const& board);
  // With at most (stacks - 1) x capacity + 1 items, the lifted items of every request fit on
  // the other stacks, now and after every retrieval (a retrieval takes one item away).
  static bool can_run_out_of_room(WorkingBoard const& board, int items) {
    return items > (board.n - 1) * board.height + 1;
  }
  // The most a board whose every request can be served can be worth: each target lifts at
  // most capacity - 1 items.
  static int largest_finite_value(WorkingBoard const& board);

  // The table's bounds, goal 0 included; the board is not decoded for them.
  static std::optional<Proof> decided_by_table(PackedBoard const& key, int goal, int bound,
                                               PackedBoundTable const& table);
  // The cheap bounds and the settled value.
  static std::optional<Proof> decided_by_bounds(WorkingBoard const& board, int goal,
                                                int bound = -1);
  // Every target on the board, hardest-looking first (by bound, then by items lifted); a
  // stack equal to the one before it gives the same requests and is left out.
  static void requests(WorkingBoard const& board, std::vector<Request>& out);

  static bool before(Child const& a, Child const& b) {
    if (a.bound != b.bound) return a.bound < b.bound;
    return a.key.hi != b.key.hi ? a.key.hi < b.key.hi : a.key.lo < b.key.lo;
  }

  // One retrieval's placements, cut off item by item by the placement bound; a finished one
  // whose child is settled below the goal refutes at once.
  class Placements {
   public:
    Placements(TwoClassGame const&, WorkingBoard const&, Retrieval<WorkingBoard> const& retrieval,
               int stack, int slot, int need);
    bool cut(WorkingBoard const& placed, int i, int last, Outcome& out) {
      if (dead_end_goal_) return false;
      int const bound = bound_.after(placed, i, last);
      if (i == lifted_ || bound < need_) return false;
      out.least = std::min(out.least, bound);
      return true;
    }
    std::optional<Child> child(WorkingBoard const& placed, Outcome& out) {
      int const bound = dead_end_goal_ ? 0 : bound_.child();
      if (bound >= need_) {
        out.least = std::min(out.least, bound);
        return std::nullopt;
      }
      // Worth no more than its bound, which falls short.
      if (int const settled = settled_value(placed); settled >= 0) {
        out.refuted = settled;
        return std::nullopt;
      }
      return Child{placed.canonical(), bound};
    }
    static bool keep(Child&, Outcome&) { return true; }

   private:
    int need_;
    bool dead_end_goal_;
    int lifted_;
    int lifted_targets_[kMaxPackedHeight + 1];  // among lifted items i and above, from the top
    PlacementBound bound_;
  };
};

inline TwoClassGame::Placements::Placements(TwoClassGame const&, WorkingBoard const&,
                                            Retrieval<WorkingBoard> const& retrieval, int, int,
                                            int need)
    : need_(need),
      dead_end_goal_(need == kNoPlacement),
      lifted_(retrieval.lifted_count()),
      bound_(lifted_, retrieval.from(), lifted_targets_) {
  lifted_targets_[lifted_] = 0;
  for (int i = lifted_ - 1; i >= 0; --i)
    lifted_targets_[i] = lifted_targets_[i + 1] + (retrieval.lifted_item(i) == kTarget);
}
