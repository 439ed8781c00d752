// An exhaustive solver for grouped yards, read straight off the rules of the game and sharing no
// code with the engine, so that the two can be checked against each other. It tries every
// request and every way of placing the lifted items one at a time; its one economy is to
// remember yards it has valued, keyed by their stacks in sorted order, which is sound because
// the rules never look at the order of the stacks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

#include "model/yard.h"
#include "rules/moves.h"
#include "rules/within.h"

// What it has worked out stays, so that one object answers a yard and then every yard met on
// the way from it cheaply; hence it serves yards of one capacity, group count and order only.
class GroupedBruteForce {
 public:
  using RequestCosts = std::vector<std::pair<std::pair<int, int>, Moves>>;

  GroupedBruteForce(Yard const& yard, Within within)
      : height_(yard.height), groups_(yard.groups), within_(within) {}

  Moves value(Yard const& yard) { return value(served(yard).stacks); }

  // Calls visit(yard, value) on every yard valued so far, stacks in sorted order.
  template <class Visit>
  void each_valued(Visit&& visit) const {
    for (auto const& [stacks, value] : memo_) {
      visit(Yard{static_cast<int>(stacks.size()), height_, groups_, stacks}, value);
    }
  }

  // Every item that may be asked for now, in (stack, slot) order on the yard as given, with
  // what asking for it costs from there to the end.
  RequestCosts request_costs(Yard const& yard) {
    RequestCosts costs;
    for (auto const& ask : requests(served(yard).stacks))
      costs.emplace_back(ask, cost(yard.stacks, ask.first, ask.second));
    return costs;
  }

 private:
  using Stacks = std::vector<std::vector<int>>;

  Yard const& served(Yard const& yard) const {
    if (yard.height != height_ || yard.groups != groups_) {
      throw std::invalid_argument("a brute force serves yards of one capacity and group count");
    }
    return yard;
  }

  // Every item of the lowest group still in the yard, in (stack, slot) order.
  std::vector<std::pair<int, int>> requests(Stacks const& stacks) const {
    int lowest = 0;
    for (auto const& stack : stacks) {
      for (int cell : stack) {
        if (cell != 0 && cell <= groups_ && (lowest == 0 || cell < lowest)) lowest = cell;
      }
    }
    std::vector<std::pair<int, int>> asks;
    if (lowest == 0) return asks;
    for (int s = 0; s < static_cast<int>(stacks.size()); ++s) {
      for (int j = 0; j < height_; ++j) {
        if (stacks[s][j] == lowest) asks.emplace_back(s, j);
      }
    }
    return asks;
  }

  Moves value(Stacks stacks) {
    std::sort(stacks.begin(), stacks.end());
    if (auto it = memo_.find(stacks); it != memo_.end()) return it->second;
    auto const asks = requests(stacks);
    Moves result = 0;
    if (!asks.empty()) {
      std::vector<Moves> costs;
      for (auto [s, j] : asks)
        costs.push_back(cost(stacks, s, j));
      result = combine(costs);
    }
    memo_.emplace(std::move(stacks), result);
    return result;
  }

  Moves cost(Stacks stacks, int s, int slot) {
    std::vector<int> lifted;  // top first, the order in which they are placed
    for (int j = height_ - 1; j > slot; --j) {
      if (stacks[s][j] != 0) lifted.push_back(stacks[s][j]);
      stacks[s][j] = 0;
    }
    return place(stacks, s, slot, lifted, 0);
  }

  // Places lifted[next..] one by one on stacks other than `from`, each where there is room as
  // it arrives, then lets the requested item go: the cheapest way, or no placement if none.
  Moves place(Stacks& stacks, int from, int slot, std::vector<int> const& lifted,
              std::size_t next) {
    if (next == lifted.size()) {
      Stacks after = stacks;
      after[from][slot] = 0;
      return static_cast<int>(lifted.size()) + value(std::move(after));
    }
    Moves best = Moves::no_placement();
    for (int d = 0; d < static_cast<int>(stacks.size()); ++d) {
      auto const top = std::find(stacks[d].begin(), stacks[d].end(), 0);
      if (d == from || top == stacks[d].end()) continue;
      *top = lifted[next];
      best = std::min(best, place(stacks, from, slot, lifted, next + 1));
      *top = 0;
    }
    return best;
  }

  Moves combine(std::vector<Moves> const& costs) const {
    switch (within_) {
      case Within::worst:
        return *std::max_element(costs.begin(), costs.end());
      case Within::best:
        return *std::min_element(costs.begin(), costs.end());
      case Within::random:
        break;
    }
    Fraction sum = 0;
    for (auto const& c : costs) {
      if (!c.placed()) return c;
      sum += c.exact();
    }
    return Moves(Fraction(sum / static_cast<int>(costs.size())));
  }

  int height_;
  int groups_;
  Within within_;
  std::map<Stacks, Moves> memo_;
};

inline Moves brute_force_value(Yard const& yard, Within within) {
  return GroupedBruteForce(yard, within).value(yard);
}

inline GroupedBruteForce::RequestCosts brute_force_request_costs(Yard const& yard, Within within) {
  return GroupedBruteForce(yard, within).request_costs(yard);
}
