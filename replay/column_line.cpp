#include "replay/column_line.h"

#include <algorithm>
#include <numeric>
#include <set>
#include <stdexcept>
#include <utility>

namespace {

using Items = std::vector<int>;  // a stack's items, bottom first, without its empty slots

Items items_of(std::vector<int> const& cells) {
  Items items;
  for (int cell : cells) {
    if (cell == kEmpty) break;
    items.push_back(cell);
  }
  return items;
}

std::vector<Items> sorted(std::vector<Items> stacks) {
  std::sort(stacks.begin(), stacks.end());
  return stacks;
}

// A depth-first search for the placement. It needs only the multiset of the other columns to
// decide whether the rest of the items can still reach the goal, so a multiset that failed
// once is not searched again: equal items and equal stacks cannot make it go round in circles.
class PlacementSearch {
 public:
  PlacementSearch(std::vector<Items> columns, int from, Items lifted, std::vector<Items> goal,
                  int height)
      : columns_(std::move(columns)),
        from_(from),
        lifted_(std::move(lifted)),
        goal_(sorted(std::move(goal))),
        height_(height),
        chosen_(lifted_.size()) {}

  std::optional<std::vector<int>> run() {
    if (!place(0)) return std::nullopt;
    return chosen_;
  }

 private:
  bool prefix_of_goal(Items const& stack) const {
    return std::any_of(goal_.begin(), goal_.end(), [&](Items const& g) {
      return g.size() >= stack.size() && std::equal(stack.begin(), stack.end(), g.begin());
    });
  }

  bool place(std::size_t i) {
    if (i == lifted_.size()) return sorted(columns_) == goal_;
    std::vector<Items> others = columns_;
    others.erase(others.begin() + from_);
    if (!failed_.insert({i, sorted(std::move(others))}).second) return false;
    for (int d = 0; d < static_cast<int>(columns_.size()); ++d) {
      if (d == from_ || static_cast<int>(columns_[d].size()) >= height_) continue;
      columns_[d].push_back(lifted_[i]);
      chosen_[i] = d;
      bool const found = prefix_of_goal(columns_[d]) && place(i + 1);
      columns_[d].pop_back();
      if (found) return true;
    }
    return false;
  }

  std::vector<Items> columns_;
  int from_;
  Items lifted_;  // top first
  std::vector<Items> goal_;
  int height_;
  std::vector<int> chosen_;
  std::set<std::pair<std::size_t, std::vector<Items>>> failed_;
};

int column_holding(Yard const& yard, std::vector<int> const& stack) {
  for (int c = 0; c < yard.n_stacks; ++c) {
    if (yard.stacks[c] == stack) return c;
  }
  throw std::logic_error("the line asks for a stack that is not on the yard");
}

}  // namespace

std::vector<int> columns_of_canonical(Yard const& yard) {
  std::vector<int> order(static_cast<std::size_t>(yard.n_stacks));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return yard.stacks[a] < yard.stacks[b]; });
  return order;
}

std::optional<std::vector<int>> find_placement(Yard const& before, int column, int slot,
                                               Yard const& canonical_after) {
  std::vector<Items> columns;
  for (auto const& cells : before.stacks)
    columns.push_back(items_of(cells));
  Items& source = columns.at(static_cast<std::size_t>(column));
  if (slot < 0 || slot >= static_cast<int>(source.size())) return std::nullopt;
  Items lifted(source.rbegin(), source.rend() - slot - 1);
  source.resize(static_cast<std::size_t>(slot));
  std::vector<Items> goal;
  for (auto const& cells : canonical_after.stacks)
    goal.push_back(items_of(cells));
  if (goal.size() != columns.size()) return std::nullopt;
  return PlacementSearch(std::move(columns), column, std::move(lifted), std::move(goal),
                         before.height)
      .run();
}

ColumnStep column_step(Yard const& before, int column, int slot,
                       std::optional<Yard> const& canonical_after) {
  ColumnStep step{column, slot, {}, canonical_after.has_value(), before, before};
  if (!canonical_after) return step;
  std::optional<std::vector<int>> const placement =
      find_placement(before, column, slot, *canonical_after);
  if (!placement) throw std::logic_error("no placement of the lifted items reaches the answer");
  auto& source = step.after.stacks[static_cast<std::size_t>(column)];
  auto top = std::find(source.begin(), source.end(), kEmpty);
  for (int d : *placement) {
    step.moves.push_back({column, d});
    --top;
    auto& to = step.after.stacks[static_cast<std::size_t>(d)];
    *std::find(to.begin(), to.end(), kEmpty) = *top;
    *top = kEmpty;
  }
  source[static_cast<std::size_t>(slot)] = kEmpty;  // the requested item leaves
  return step;
}

std::vector<ColumnStep> column_line(Yard const& given, std::vector<YardStep> const& line) {
  std::vector<ColumnStep> steps;
  Yard current = given;
  Yard canonical = given;
  canonical.sort_stacks();
  for (YardStep const& s : line) {
    int const column = column_holding(current, canonical.stacks.at(s.stack));
    steps.push_back(column_step(current, column, s.slot,
                                s.placed ? std::optional<Yard>(s.after) : std::nullopt));
    if (!s.placed) break;
    current = steps.back().after;
    canonical = s.after;
  }
  return steps;
}

std::vector<ColumnStep> column_line(State const& given, std::vector<LineStep> const& line) {
  std::vector<YardStep> steps;
  for (LineStep const& s : line) {
    steps.push_back({s.stack, s.slot, Moves(s.cost), s.moved, s.placed, yard_of(s.after)});
  }
  return column_line(yard_of(given), steps);
}
