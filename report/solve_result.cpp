#include "report/solve_result.h"

#include <cstdio>

int count_items(State const& board) {
  int items = 0;
  for (auto const& stack : board.stacks) {
    for (int cell : stack)
      items += cell != kEmpty;
  }
  return items;
}

std::optional<YardRequestCost> first_request(std::vector<YardRequestCost> const& costs,
                                             Within within) {
  if (costs.empty()) return std::nullopt;
  YardRequestCost const* chosen = &costs.front();
  for (YardRequestCost const& c : costs) {
    bool const better = within == Within::best ? c.cost < chosen->cost : chosen->cost < c.cost;
    if (better) chosen = &c;
  }
  return *chosen;
}

std::optional<Fraction> bounds_gap(ValueBounds const& bounds) {
  if (bounds.exact()) return Fraction(0);
  if (!bounds.upper.placed()) return std::nullopt;
  Fraction const& upper = bounds.upper.exact();
  if (upper == 0) return Fraction(0);
  return (upper - bounds.lower.exact()) / upper;
}

std::optional<Fraction> value_gap(SearchStatus status, ValueBounds const& bounds) {
  if (status == SearchStatus::optimal) return Fraction(0);
  return bounds_gap(bounds);
}

std::string gap_decimal(std::optional<Fraction> const& gap) {
  return gap ? Moves(*gap).decimal_text() : "";
}

std::string gap_percent(Fraction const& gap) {
  return Moves(gap * 100).decimal_text(1) + "%";
}

std::string estimate_text(SampledCost const& estimate) {
  char text[200];
  std::snprintf(text, sizeof text,
                "the placement rule's mean cost, estimated from %d orders drawn: %.2f moves (95%% "
                "interval %.2f to %.2f), an estimate and no bound",
                estimate.orders, estimate.mean, estimate.mean - estimate.half_width,
                estimate.mean + estimate.half_width);
  return text;
}
