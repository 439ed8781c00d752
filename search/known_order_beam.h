// Lines of play for yards of one item a group, found by a beam search over the lifted items:
// item after item, each board kept tries the item it holds on every stack that takes it, and
// of all these the `width` whose finish by the placement rule (the items still held placed by
// the rule, then the yard finished by it) is cheapest are kept. A width of one is the item
// pilot of KnownOrderSearch; a wider beam keeps the answers that only pay later, at about width
// times the pilot's price.
#pragma once

#include <algorithm>
#include <boost/unordered/unordered_flat_set.hpp>
#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/grouped_board.h"
#include "rules/within.h"
#include "search/bounds/rule_cost.h"
#include "search/games/known_order_game.h"
#include "search/stop_poll.h"

template <int W>
class KnownOrderBeam {
 public:
  using Key = GroupKey<W>;
  struct Line {
    int cost = INT_MAX;
    // The boards the line lifts from (free retrievals made), and the moves before each.
    std::vector<std::pair<Key, int>> boards;
  };

  // The cheapest line the beam finds from the board (free retrievals made, something left to
  // lift). Polls (StopPoll) once a finish.
  static Line run(GroupedBoard const& root, int width) {
    std::vector<State> layer{State{root, {}, 0, 0, -1}};
    std::vector<std::vector<Trace>> traces{{trace_of(layer[0])}};
    std::vector<State> next;
    std::vector<int> order;
    boost::unordered_flat_set<std::uint64_t> seen;
    while (!std::all_of(layer.begin(), layer.end(), [](State const& s) { return s.done(); })) {
      next.clear();
      for (int i = 0; i < static_cast<int>(layer.size()); ++i)
        grow(layer[i], i, next);
      // Sorted by index: a state is a few kilobytes.
      order.resize(next.size());
      for (int i = 0; i < static_cast<int>(next.size()); ++i)
        order[i] = i;
      std::stable_sort(order.begin(), order.end(),
                       [&](int a, int b) { return next[a].finish < next[b].finish; });
      // A state reached twice is kept once (two that share a hash of 64 bits, once too: the
      // beam is a heuristic).
      layer.clear();
      traces.emplace_back();
      seen.clear();
      for (int i : order) {
        if (static_cast<int>(layer.size()) == width) break;
        if (!seen.insert(next[i].hash()).second) continue;
        traces.back().push_back(trace_of(next[i]));
        layer.push_back(std::move(next[i]));
      }
    }
    // Every board kept last has nothing left to lift: the least finish is the line's cost.
    Line line;
    int at = static_cast<int>(
        std::min_element(layer.begin(), layer.end(),
                         [](State const& a, State const& b) { return a.finish < b.finish; }) -
        layer.begin());
    line.cost = layer[at].finish;
    for (int depth = static_cast<int>(traces.size()) - 1; depth >= 0; --depth) {
      Trace const& t = traces[depth][at];
      if (t.lifts) line.boards.push_back({t.key, t.moves});
      at = t.parent;
    }
    std::reverse(line.boards.begin(), line.boards.end());
    return line;
  }

 private:
  struct State {
    GroupedBoard board;              // free retrievals made once nothing is held
    std::vector<std::uint8_t> held;  // lifted and not yet placed, the next first
    int moves;                       // made so far, the held items counted
    int finish;                      // moves plus the rule's finish
    int parent;                      // in the layer before
    int from = -1;                   // the stack the held items were lifted from

    // Nothing held and nothing left to lift.
    bool done() const { return held.empty() && next_request(board).first < 0; }
    std::uint64_t hash() const {
      std::uint64_t h = GroupKeyHash<W>()(key_of<W>(board));
      for (std::uint8_t item : held)
        h = (h ^ item) * 0x9e3779b97f4a7c15ull;
      return h;
    }
  };

  // What the line needs of a state kept: the state before it, and whether it is a board the
  // line lifts from.
  struct Trace {
    int parent;
    int moves;
    bool lifts;
    Key key;
  };
  static Trace trace_of(State const& s) {
    bool const lifts = s.held.empty() && next_request(s.board).first >= 0;
    return {s.parent, s.moves, lifts, lifts ? key_of<W>(s.board) : Key{}};
  }

  // The states one item on from s: if it holds nothing, its next request's items are lifted
  // first. A state with nothing left to lift goes on as it is.
  static void grow(State const& s, int index, std::vector<State>& out) {
    State base = s;
    base.parent = index;
    if (base.held.empty()) {
      auto const [stack, slot] = next_request(base.board);
      if (stack < 0) {
        out.push_back(std::move(base));
        return;
      }
      int lifted[kMaxGroupedHeight];
      int const count = base.board.take(stack, slot, lifted);
      base.held.assign(lifted, lifted + count);
      base.moves += count;
      base.from = stack;
    }
    int const item = base.held.front();
    for (int d = 0; d < base.board.n; ++d) {
      if (d == base.from || base.board.full(d) || repeats(base.board, d, base.from)) continue;
      State child = base;
      child.board.push(d, item);
      child.held.erase(child.held.begin());
      child.finish = child.moves + finish_of(child);
      if (child.held.empty()) retrieve_free_items(child.board);
      out.push_back(std::move(child));
    }
  }

  // What finishing the state by the rule costs: the held items placed by it, then the yard.
  static int finish_of(State const& s) {
    GroupedBoard board = s.board;
    for (std::uint8_t item : s.held)
      board.push(stack_by_rule(board, item, s.from, Within::best), item);
    StopPoll::poll();
    return rule_finish(board);
  }

  // Whether a stack to the left, other than `from`, holds the same items as stack d.
  static bool repeats(GroupedBoard const& board, int d, int from) {
    for (int e = 0; e < d; ++e) {
      if (e != from && board.same_stack(e, d)) return true;
    }
    return false;
  }
};
