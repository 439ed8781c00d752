// Lines of play in the best order, found by a beam search over the lifted items: item after
// item, each board kept tries the item it holds on every stack that takes it (and, holding
// nothing, first asks for each item of the current group that is topmost in its stack), and of
// all these the `width` whose finish by the rule (the items still held placed by it, then the
// yard finished by it: rule_finish) is cheapest are kept. With one item a group a width of one
// is the item pilot of KnownOrderSearch; a wider beam keeps the answers that only pay later, at
// about width times the pilot's price. The rule's own request and stack being among those
// tried, the least finish never grows from one layer to the next: a line never costs more than
// the rule's. When a search draws them: search/beam_schedule.h.
#pragma once

#include <algorithm>
#include <boost/unordered/unordered_flat_set.hpp>
#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/grouped_board.h"
#include "rules/within.h"
#include "search/bounds/group_bound.h"
#include "search/bounds/rule_cost.h"
#include "search/stop_poll.h"

// Whether a stack to the left of stack d, other than `from`, holds the same items: an item
// lifted from `from` would give the same board on either, so only the first is tried.
inline bool repeats_left(GroupedBoard const& board, int d, int from) {
  for (int e = 0; e < d; ++e) {
    if (e != from && board.same_stack(e, d)) return true;
  }
  return false;
}

template <int W>
class BestOrderBeam {
 public:
  struct Line {
    int cost = INT_MAX;
    // Every request of the line, free ones too, on canonical boards: each step's cost is what
    // the line costs from the board before it.
    std::vector<RuleCosts::Step> steps;
  };

  // The cheapest line the beam finds from the board, whose lifted items must always fit
  // (always_fits). Polls (StopPoll) once a finish.
  static Line run(GroupedBoard const& root, int width) {
    State first{root, {}, 0, 0, -1};
    settle(first.board);
    first.finish = rule_finish(first.board);
    std::vector<State> layer{first};
    std::vector<std::vector<Trace>> traces;
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
        traces.back().push_back(next[i].trace);
        layer.push_back(std::move(next[i]));
      }
    }
    // Every board kept last has nothing left to lift: the least finish is the line's cost.
    int at = static_cast<int>(
        std::min_element(layer.begin(), layer.end(),
                         [](State const& a, State const& b) { return a.finish < b.finish; }) -
        layer.begin());
    int const cost = layer[at].finish;
    std::vector<Trace> path(traces.size());
    for (int depth = static_cast<int>(traces.size()) - 1; depth >= 0; --depth) {
      path[depth] = traces[depth][at];
      at = path[depth].parent;
    }
    return replay(root, path, cost);
  }

 private:
  // How a state was reached from its parent: the request asked for, if it asked (-1 when it
  // went on with the items it held, or had nothing left), and the stack its item went on.
  struct Trace {
    int parent = -1;
    std::int8_t stack = -1;
    std::int8_t slot = -1;
    std::int8_t to = -1;
  };

  struct State {
    GroupedBoard board;              // canonical, free retrievals made, once nothing is held
    std::vector<std::uint8_t> held;  // lifted and not yet placed, the next first
    int moves;                       // made so far, the held items counted
    int finish;                      // moves plus the rule's finish
    int from = -1;                   // the stack the held items were lifted from
    Trace trace{};

    // Nothing held and nothing left to lift.
    bool done() const { return held.empty() && current_group(board) == 0; }
    std::uint64_t hash() const {
      std::uint64_t h = GroupKeyHash<W>()(key_of<W>(board));
      for (std::uint8_t item : held)
        h = (h ^ item) * 0x9e3779b97f4a7c15ull;
      return h;
    }
  };

  // The stack of an item of the current group on top, or -1 for none.
  static int free_stack(GroupedBoard const& board) {
    int const group = current_group(board);
    for (int s = 0; group != 0 && s < board.n; ++s) {
      if (board.level[s] > 0 && board.cell[s][board.level[s] - 1] == group) return s;
    }
    return -1;
  }
  // Takes out every item asked for while it lies on top of its stack (which costs nothing and
  // leaves every choice open), and puts the stacks in canonical order.
  static void settle(GroupedBoard& board) {
    for (int s = free_stack(board); s >= 0; s = free_stack(board))
      board.pop(s);
    board = canonical(board);
  }

  // The states one item on from s: holding nothing, it first asks for each item of the current
  // group that is topmost in its stack (the items under it only lift more), and equal
  // neighbouring stacks ask once. A state with nothing left to lift goes on as it is.
  static void grow(State const& s, int index, std::vector<State>& out) {
    if (s.done()) {
      State same = s;
      same.trace = {index};
      out.push_back(std::move(same));
      return;
    }
    if (!s.held.empty()) {
      place(s, Trace{index}, out);
      return;
    }
    int const group = current_group(s.board);
    for (int stack = 0; stack < s.board.n; ++stack) {
      if (s.board.lowest(stack) != group || (stack > 0 && s.board.same_stack(stack, stack - 1))) {
        continue;
      }
      int slot = s.board.level[stack] - 1;
      while (s.board.cell[stack][slot] != group)
        --slot;
      State asked = s;
      int lifted[kMaxGroupedHeight];
      int const count = asked.board.take(stack, slot, lifted);
      asked.held.assign(lifted, lifted + count);
      asked.moves += count;
      asked.from = stack;
      place(asked, Trace{index, static_cast<std::int8_t>(stack), static_cast<std::int8_t>(slot)},
            out);
    }
  }

  // The held item on every stack that takes it.
  static void place(State const& s, Trace const& trace, std::vector<State>& out) {
    int const item = s.held.front();
    for (int d = 0; d < s.board.n; ++d) {
      if (d == s.from || s.board.full(d) || repeats_left(s.board, d, s.from)) continue;
      State child = s;
      child.board.push(d, item);
      child.held.erase(child.held.begin());
      child.trace = trace;
      child.trace.to = static_cast<std::int8_t>(d);
      child.finish = child.moves + finish_of(child);
      if (child.held.empty()) settle(child.board);
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

  // The line of the traces from the root, as requests on canonical boards.
  static Line replay(GroupedBoard const& root, std::vector<Trace> const& path, int cost) {
    Line line;
    line.cost = cost;
    std::vector<int> before;  // the moves before each step
    int moves = 0;
    GroupedBoard board = canonical(root);
    auto const free_steps = [&] {
      for (int s = free_stack(board); s >= 0; s = free_stack(board)) {
        GroupedBoard after = board;
        after.pop(s);
        line.steps.push_back({s, board.level[s] - 1, 0, 0, true, canonical(after)});
        before.push_back(moves);
        board = line.steps.back().after;
      }
    };
    free_steps();
    int lifted[kMaxGroupedHeight];  // the items of the last request, top first
    int count = 0;
    int placed = 0;
    for (Trace const& t : path) {
      if (t.to < 0) continue;
      if (t.stack >= 0) {
        line.steps.push_back({t.stack, t.slot, 0, 0, true, board});
        before.push_back(moves);
        count = board.take(t.stack, t.slot, lifted);
        line.steps.back().lifted = count;
        moves += count;
        placed = 0;
      }
      board.push(t.to, lifted[placed++]);
      if (placed == count) {
        board = canonical(board);
        line.steps.back().after = board;
        free_steps();
      }
    }
    for (std::size_t i = 0; i < line.steps.size(); ++i)
      line.steps[i].cost = cost - before[i];
    return line;
  }
};
