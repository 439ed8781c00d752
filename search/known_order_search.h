// The search for yards whose every group holds one item: the classic problem with a known
// order, where each request is forced and only the retrieving side chooses. An iterative
// deepening branch and bound: the value is proved by raising a budget from the lower bound,
// one move at a time, until a line within it is found; a line found first by following the
// search's own order of children closes the gap from above. Boards are stored between
// requests with a lower and an upper bound on their value, kept across queries; an item asked
// for that lies on top of its stack leaves at once, free of cost, so only boards whose next
// request lifts something are ever searched or stored.
//
// The boards it takes always have room for the lifted items (see always_fits): there, every
// line goes on to the end, and "no placement" never happens.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "model/grouped_board.h"
#include "rules/retrieval.h"
#include "search/bound_table.h"
#include "search/group_bound.h"
#include "search/known_order_bound.h"

// With at most (stacks - 1) x capacity + 1 items the other stacks always have room for the
// items above any item asked for.
inline bool always_fits(GroupedBoard const& board) {
  int items = 0;
  for (int s = 0; s < board.n; ++s)
    items += board.level[s];
  return items <= (board.n - 1) * board.height + 1;
}

// Takes out every item asked for while it lies on top of its stack. Returns the stack and slot
// of the next item asked for, which lifts something, or {-1, -1} when no item will be asked for.
std::pair<int, int> retrieve_free_items(GroupedBoard& board);

template <int W>
class KnownOrderSearch {
 public:
  using Key = GroupKey<W>;
  using Table = BasicBoundTable<Key, GroupKeyHash<W>>;

  // tick is called once for every board expanded; it may throw.
  // keep_moved_items: the bound's second count (see known_order_bound), left out only to check
  // it against the first.
  KnownOrderSearch(Table& table, std::function<void()> tick, bool keep_moved_items = true)
      : table_(table), tick_(std::move(tick)), keep_moved_items_(keep_moved_items) {}

  int value(GroupedBoard const& board) {
    depth_ = 0;  // a query cut short by its tick leaves the depth where it stopped
    GroupedBoard root = board;
    if (retrieve_free_items(root).first < 0) return bound_of(root);
    Key const key = key_of<W>(root);
    int const bound = bound_of(root);
    int lower = bound;
    int upper = dive(root);
    if (std::optional<Bounds> const known = table_.find(key)) {
      lower = std::max(lower, static_cast<int>(known->lower));
      upper = std::min(upper, static_cast<int>(known->upper));
    }
    while (lower < upper) {
      int const found = prove(root, key, bound, lower);
      if (found <= lower) break;
      lower = found;
    }
    table_.raise_lower(key, lower);
    table_.cut_upper(key, lower);
    return lower;
  }

  // The board after the retrieving side's answer to the next request that reaches `cost`
  // (the board's value): the first such placement in the order the search tries children
  // (see before(), on the child after its free retrievals, then the key of the placement).
  // Stacks in canonical order; free retrievals not made.
  GroupedBoard best_answer(GroupedBoard const& board, int stack, int slot, int cost) {
    depth_ = 0;
    Retrieval<GroupedBoard> retrieval(board, stack, slot);
    int const need = cost - retrieval.lifted_count();
    std::vector<std::pair<Child, Key>> answers;  // the child, and the board as placed
    // The search never saw the placements its cut left out, so neither may the answer: one of
    // them could be worth `need` on a board the table knows nothing of.
    PlacementCut cut(board, stack, slot, need, keep_moved_items_);
    retrieval.walk(cut, [&](GroupedBoard const& placed) {
      GroupedBoard child = placed;
      retrieve_free_items(child);
      answers.push_back(
          {{key_of<W>(child), bound_of(child, need), cut.misfit()}, key_of<W>(placed)});
      return true;
    });
    std::sort(answers.begin(), answers.end(), [](auto const& a, auto const& b) {
      if (before(a.first, b.first)) return true;
      if (before(b.first, a.first)) return false;
      return a.second.word < b.second.word;
    });
    for (auto const& [child, placed] : answers) {
      if (child.bound <= need && prove(board_of<W>(child.key), child.key, child.bound, need) <= need) {
        return board_of<W>(placed);
      }
    }
    throw std::logic_error("no placement reaches the request's cost");
  }

  // What the table holds on the board's value, as (lower, upper); upper is INT_MAX when no
  // line is known.
  std::pair<int, int> proven(GroupedBoard const& board) const {
    GroupedBoard root = board;
    if (retrieve_free_items(root).first < 0) return {0, 0};
    int lower = bound_of(root);
    int upper = INT_MAX;
    if (std::optional<Bounds> const known = table_.find(key_of<W>(root))) {
      lower = std::max(lower, static_cast<int>(known->lower));
      if (known->upper != Bounds::kNoValue) upper = known->upper;
    }
    return {lower, upper};
  }
  // Takes note of a line found elsewhere that costs `upper`.
  void limit_above(GroupedBoard const& board, int upper) {
    GroupedBoard root = board;
    if (retrieve_free_items(root).first >= 0) table_.cut_upper(key_of<W>(root), upper);
  }

  std::uint64_t expanded() const { return expanded_; }

 private:
  struct Child {
    Key key;
    int bound;
    int misfit;  // see landing_misfit
  };
  static bool before(Child const& a, Child const& b) {
    if (a.bound != b.bound) return a.bound < b.bound;
    if (a.misfit != b.misfit) return a.misfit < b.misfit;
    return a.key.word < b.key.word;
  }

  // Cuts off a placement half made when every child below it must cost more than `need`
  // (the least they were shown to cost is kept in `least`, counting the lifted items), and
  // follows the landing misfit of the items placed so far (see landing_misfit).
  class PlacementCut {
   public:
    PlacementCut(GroupedBoard const& board, int stack, int slot, int need, bool keep_moved_items)
        : keep_moved_items_(keep_moved_items), stack_(stack), need_(need),
          lifted_(board.level[stack] - 1 - slot),
          bound_(lifted_, items_, false) {
      int blocked_here = 0;
      int const top = board.level[stack] - 1;
      for (int j = top; j >= slot; --j) {
        if (j > slot) items_[top - j] = board.cell[stack][j];
        blocked_here += blocks_on(board.cell[stack][j], board.low[stack][j], board.stays, false);
      }
      rest_ = blocked_items(board, false) - blocked_here;
    }
    PlacementCut(PlacementCut const&) = delete;
    PlacementCut& operator=(PlacementCut const&) = delete;

    bool operator()(GroupedBoard const& placed, int i, int last) {
      if (i > 0) misfit_[i] = misfit_[i - 1] + landed_misfit(placed, last);
      int partial = bound_.after(placed, i, last, stack_, rest_) - lifted_;
      if (need_ == INT_MAX) return false;
      if (partial <= need_ && i > 0 && i < lifted_) {
        // Items put on top only add to the bound: the board placed so far, with each item
        // still to place that is stranded counted once, bounds every child.
        int const stranded = bound_.stranded();
        partial = std::max(
            partial, known_order_bound(placed, need_ - stranded, keep_moved_items_) + stranded);
      }
      if (partial <= need_) return false;
      least = std::min(least, lifted_ + partial);
      return true;
    }
    // From now on, cut off what must cost more than `need`.
    void tighten(int need) { need_ = need; }
    // The misfit of the placement just finished.
    int misfit() const { return misfit_[lifted_]; }

    int least = INT_MAX;

   private:
    bool keep_moved_items_;
    int stack_;
    int need_;
    int lifted_;
    int rest_ = 0;
    int items_[kMaxGroupedHeight] = {};  // the lifted items, top first
    int misfit_[kMaxGroupedHeight + 1] = {};
    GroupPlacementBound bound_;
  };

  // Among children of equal bound, the ones whose items landed the way a good rule of thumb
  // lands them are tried first: an item on the stack of least cap above it, where it blocks
  // nothing and leaves the larger caps to items to come; an item that must block, on the
  // stack of largest cap, where it will be lifted again the latest. cap: the least item of
  // the stack before it landed (kNoItem when empty).
  static int landing_misfit(int item, int cap) {
    return cap > item ? cap - item : 2 * kNoItem - cap;
  }

  // The cost of a line within `budget` if the search finds one (the board is worth at most
  // that), otherwise a lower bound on the board's value above `budget`. The board has had its
  // free retrievals; bound is its known_order_bound.
  int prove(GroupedBoard const& board, Key const& key, int bound, int budget) {
    if (bound > budget) return bound;
    if (std::optional<Bounds> const known = table_.find(key)) {
      if (known->upper <= budget) return known->upper;
      if (known->lower > budget) return known->lower;
    }
    auto const [stack, slot] = next_request(board);
    if (stack < 0) return 0;
    ++expanded_;
    tick_();
    Retrieval<GroupedBoard> retrieval(board, stack, slot);
    int const lifted = retrieval.lifted_count();
    int const need = budget - lifted;
    PlacementCut cut(board, stack, slot, need, keep_moved_items_);
    int& least = cut.least;  // the least any child was shown to cost, all above need

    std::vector<Child>& children = next_buffer();
    children.clear();
    bool found = false;
    int cost = 0;
    retrieval.walk(cut, [&](GroupedBoard const& placed) {
      GroupedBoard child = placed;
      retrieve_free_items(child);
      int child_bound = bound_.plain(child);
      if (child_bound > need) {
        least = std::min(least, lifted + child_bound);
        return true;
      }
      Key const child_key = key_of<W>(child);
      if (std::optional<Bounds> const known = table_.find(child_key)) {
        if (known->upper <= need) {
          found = true;
          cost = lifted + known->upper;
          return false;
        }
        if (known->lower > need) {
          least = std::min(least, lifted + known->lower);
          return true;
        }
      }
      // The dearer count only for boards that nothing cheaper settles.
      if (keep_moved_items_) child_bound = bound_.refined(need);
      if (child_bound > need) {
        least = std::min(least, lifted + child_bound);
        return true;
      }
      children.push_back({child_key, child_bound, cut.misfit()});
      return true;
    });

    if (!found) {
      std::sort(children.begin(), children.end(), before);
      for (std::size_t c = 0; c < children.size(); ++c) {
        if (c > 0 && children[c].key == children[c - 1].key) continue;
        int const r = prove(board_of<W>(children[c].key), children[c].key, children[c].bound, need);
        if (r <= need) {
          found = true;
          cost = lifted + r;
          break;
        }
        least = std::min(least, lifted + r);
      }
    }
    --depth_;
    if (found) {
      table_.cut_upper(key, cost);
      return cost;
    }
    table_.raise_lower(key, least);
    return least;
  }

  // A line found by taking, at every request, the child the search would try first: the
  // least lower bound, then the least key. Its cost bounds the board's value from above, and
  // the cost of its rest every board on it.
  int dive(GroupedBoard const& board) {
    std::vector<std::pair<Key, int>> path;  // boards on the line, and the moves up to each
    GroupedBoard current = board;
    int moves = 0;
    for (auto request = next_request(current); request.first >= 0;
         request = next_request(current)) {
      path.push_back({key_of<W>(current), moves});
      Retrieval<GroupedBoard> retrieval(current, request.first, request.second);
      bool first = true;
      Child best{};
      // Placements whose every child is worth more than the best bound found so far cannot
      // give a child of lesser bound that is any better: leave them out.
      PlacementCut cut(current, request.first, request.second, INT_MAX, keep_moved_items_);
      retrieval.walk(cut, [&](GroupedBoard const& placed) {
        GroupedBoard child = placed;
        retrieve_free_items(child);
        Child const candidate{key_of<W>(child), bound_of(child, INT_MAX), cut.misfit()};
        if (first || before(candidate, best)) {
          best = candidate;
          first = false;
          cut.tighten(best.bound);
        }
        return true;
      });
      moves += retrieval.lifted_count();
      current = board_of<W>(best.key);
    }
    for (auto const& [key, before] : path)
      table_.cut_upper(key, moves - before);
    return moves;
  }

  // The misfit of the item just put on top of stack `last`.
  static int landed_misfit(GroupedBoard const& placed, int last) {
    int const top = placed.level[last] - 1;
    return landing_misfit(placed.cell[last][top], placed.low[last][top]);
  }

  // The request of a board that has had its free retrievals.
  static std::pair<int, int> next_request(GroupedBoard const& board) {
    int const group = current_group(board);
    if (group == 0) return {-1, -1};
    for (int s = 0; s < board.n; ++s) {
      if (board.lowest(s) != group) continue;
      for (int j = 0; j < board.level[s]; ++j) {
        if (board.cell[s][j] == group) return {s, j};
      }
    }
    throw std::logic_error("the group asked for has no item");
  }

  std::vector<Child>& next_buffer() {
    ++depth_;
    if (buffers_.size() <= depth_) buffers_.resize(depth_ + 1);
    return buffers_[depth_];
  }

  // The board's known_order_bound.
  int bound_of(GroupedBoard const& board, int need = kStrongestBound) const {
    return known_order_bound(board, need, keep_moved_items_);
  }

  Table& table_;
  std::function<void()> tick_;
  bool keep_moved_items_;
  KnownOrderBound bound_;  // scratch for the bounds of children
  std::uint64_t expanded_ = 0;
  std::deque<std::vector<Child>> buffers_;
  std::size_t depth_ = 0;
};
