#include "report/text_report.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "replay/move_words.h"
#include "report/opening_lines.h"
#include "rules/no_placement.h"

namespace {

// A request on the canonical board, moved to the column it stands in; rows by column.
template <class Cost>
std::vector<Cost> by_column(std::vector<Cost> costs, std::vector<int> const& columns) {
  for (Cost& c : costs)
    c.stack = columns.at(static_cast<std::size_t>(c.stack));
  std::stable_sort(costs.begin(), costs.end(), [](Cost const& a, Cost const& b) {
    return std::pair(a.stack, a.slot) < std::pair(b.stack, b.slot);
  });
  return costs;
}

// The request, the yard with it marked, the moves and the yard after them.
std::string step_text(std::size_t index, ColumnStep const& step, std::string const& what,
                      DrawingStyle style) {
  std::string text = "Request " + std::to_string(index + 1) + ": " +
                     cell_words(step.column, step.slot) + what + "\n";
  text += drawing(step.before, {step.column, step.slot}, style);
  if (!step.placed) return text;
  return text + moves_line(step, style.glyphs) + drawing(step.after, kNoRequest, style);
}

std::string cost_text(int cost) {
  return cost == kNoPlacement ? "none" : std::to_string(cost);
}

// The word that marks the request a line of play starts with.
char const* first_request_mark(Within within) {
  return within == Within::best ? "cheapest" : within == Within::random ? "costliest" : "hardest";
}

char const* line_heading(Within within) {
  switch (within) {
    case Within::worst:
      return "Best play (each request the costliest of its group, each retrieval the best):\n";
    case Within::best:
      return "Best play (each request the cheapest of its group, each retrieval the best):\n";
    case Within::random:
      return "Unluckiest play (each request the costliest of its group; costs are expected moves "
             "to the end):\n";
  }
  return "";
}

}  // namespace

std::string line_of_play_text(std::vector<ColumnStep> const& steps,
                              std::vector<LineStep> const& line, Marking marking) {
  std::string text;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    text += step_text(i, steps[i], ", cost " + cost_text(line[i].cost),
                      {Glyphs::two_class, marking, true});
  }
  return text;
}

std::string request_table_text(std::vector<RequestCost> const& costs, RequestCost const& given,
                               std::vector<int> const& columns) {
  if (costs.empty()) return "No request can be made: the board holds no target.\n";
  RequestCost hardest = given;
  if (hardest.stack >= 0) hardest.stack = columns.at(static_cast<std::size_t>(hardest.stack));
  std::string text =
      "Cost of each request (stacks count from 0 at the left, slots from 0 at the bottom):\n"
      "stack  slot  cost\n";
  for (RequestCost const& c : by_column(costs, columns)) {
    char row[64];
    std::snprintf(row, sizeof row, "%5d %5d %5s", c.stack, c.slot, cost_text(c.cost).c_str());
    text += row;
    if (c.stack == hardest.stack && c.slot == hardest.slot) text += "  <- hardest";
    text += "\n";
  }
  return text;
}

std::string stopped_report_text(Yard const& given, Within within, SearchStatus status,
                                ValueBounds const& bounds, std::vector<ColumnStep> const& steps,
                                std::vector<YardStep> const& line, bool requests_wanted,
                                Marking marking) {
  DrawingStyle const style{Glyphs::groups, marking, true};
  std::string text = std::string("Order within groups: ") + within_name(within) + "\n";
  text += std::string("Search stopped (") + status_name(status) + "): the value is at least " +
          moves_text(bounds.lower, within) + " and " +
          (bounds.upper.placed() ? "at most " + moves_text(bounds.upper, within) + " (gap " +
                                       gap_percent(*bounds_gap(bounds)) + ")"
                                 : std::string("has no upper bound known")) +
          "\n";
  text += drawing(given, kNoRequest, style);
  if (requests_wanted) text += "Cost of each request: not known, the search stopped first.\n";
  if (steps.empty()) return text;
  text +=
      "Line of play behind the upper bound (each request's cost between the bounds "
      "shown):\n";
  for (std::size_t i = 0; i < steps.size(); ++i) {
    YardStep const& step = line[i];
    std::string const cost =
        step.lower ? moves_text(*step.lower, within) + " to " + moves_text(step.cost, within)
                   : moves_text(step.cost, within);
    int const group = steps[i].before.stacks[steps[i].column][steps[i].slot];
    text += step_text(i, steps[i], ", group " + std::to_string(group) + ", cost " + cost, style);
  }
  return text;
}

std::string solve_report_text(SolveResult const& result, Marking marking) {
  if (result.status != SearchStatus::optimal) {
    std::vector<YardStep> line;
    for (LineStep const& step : result.line) {
      line.push_back({step.stack, step.slot, step.cost, step.moved, step.placed,
                      yard_of(step.after),
                      step.lower ? std::optional<Moves>(*step.lower) : std::nullopt});
    }
    return stopped_report_text(result.given, Within::worst, result.status, result.bounds,
                               result.columns, line, result.requests_wanted, marking);
  }
  std::string text = minimum_moves_line(result.value) +
                     drawing(result.given, kNoRequest, {Glyphs::two_class, marking, true});
  if (result.requests) {
    text += request_table_text(*result.requests, result.hardest.value_or(RequestCost{-1, -1, 0}),
                               columns_of_canonical(result.given));
  }
  return text + line_of_play_text(result.columns, result.line, marking);
}

std::string moves_text(Moves const& moves, Within within) {
  if (!moves.placed()) return "none";
  if (within != Within::random) return std::to_string(moves.whole_moves());
  return moves.decimal_text() + " (" + moves.fraction_text() + ")";
}

std::string yard_value_text(Moves const& value, Within within) {
  std::string text = std::string("Order within groups: ") + within_name(within) + "\n";
  if (within != Within::random) {
    return text + minimum_moves_line(value.whole_moves());
  }
  if (!value.placed()) {
    return text + "Expected moves: none - the items lifted for some request fit nowhere\n";
  }
  return text + "Expected moves: " + moves_text(value, within) + "\n";
}

std::string yard_request_table_text(Yard const& yard, std::vector<YardRequestCost> const& costs,
                                    Within within, std::vector<int> const& columns) {
  if (costs.empty()) return "No request can be made: the yard holds no item to retrieve.\n";
  struct Row {
    int column, slot, group;
    std::string cost;
    bool first;
  };
  // The first of the line is chosen on the canonical yard, as the line chose it.
  std::optional<YardRequestCost> const first = first_request(costs, within);
  std::vector<Row> rows;
  std::size_t width = 4;  // "cost"
  for (YardRequestCost const& c : costs) {
    rows.push_back({columns.at(static_cast<std::size_t>(c.stack)), c.slot,
                    yard.stacks[c.stack][c.slot], moves_text(c.cost, within),
                    c.stack == first->stack && c.slot == first->slot});
    width = std::max(width, rows.back().cost.size());
  }
  std::stable_sort(rows.begin(), rows.end(), [](Row const& a, Row const& b) {
    return std::pair(a.column, a.slot) < std::pair(b.column, b.slot);
  });
  std::string text =
      "Cost of each request (stacks count from 0 at the left, slots from 0 at the bottom):\n"
      "stack  slot  group  " +
      std::string(width - 4, ' ') + "cost\n";
  for (Row const& r : rows) {
    char row[64];
    std::snprintf(row, sizeof row, "%5d %5d %6d  ", r.column, r.slot, r.group);
    text += row + std::string(width - r.cost.size(), ' ') + r.cost;
    if (r.first) text += std::string("  <- ") + first_request_mark(within);
    text += "\n";
  }
  return text;
}

std::string yard_line_text(std::vector<ColumnStep> const& steps,
                           std::vector<YardStep> const& line, Within within, Marking marking) {
  if (steps.empty()) return "";
  std::string text = line_heading(within);
  for (std::size_t i = 0; i < steps.size(); ++i) {
    ColumnStep const& step = steps[i];
    int const group = step.before.stacks[step.column][step.slot];
    text += step_text(i, step,
                      ", group " + std::to_string(group) + ", cost " +
                          moves_text(line[i].cost, within),
                      {Glyphs::groups, marking, true});
  }
  return text;
}

std::string yard_report_text(YardResult const& result, Marking marking) {
  if (result.status != SearchStatus::optimal) {
    return stopped_report_text(result.given, result.within, result.status, result.bounds,
                               result.columns, result.line, result.requests_wanted, marking);
  }
  std::string text = yard_value_text(result.value, result.within) +
                     drawing(result.given, kNoRequest, {Glyphs::groups, marking, true});
  if (result.requests) {
    text += yard_request_table_text(result.yard, *result.requests, result.within,
                                    columns_of_canonical(result.given));
  }
  return text + yard_line_text(result.columns, result.line, result.within, marking);
}
