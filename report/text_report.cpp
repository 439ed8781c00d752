#include "report/text_report.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "report/opening_lines.h"
#include "report/yard_drawing.h"
#include "rules/no_placement.h"

namespace {

std::string drawing(State const& board) {
  std::ostringstream out;
  board.print(out);
  return out.str();
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

std::string line_of_play_text(State const& start, std::vector<LineStep> const& line) {
  std::string text;
  State current = start;
  for (LineStep const& step : line) {
    State asked = current;
    asked.request = {step.stack, step.slot};
    text += drawing(asked);
    if (!step.placed) break;
    current = step.after;
    text += drawing(current);
  }
  return text;
}

std::string request_table_text(std::vector<RequestCost> const& costs, RequestCost const& hardest) {
  if (costs.empty()) return "No request can be made: the board holds no target.\n";
  std::string text =
      "Cost of each request (stacks count from 0 at the left, slots from 0 at the bottom):\n"
      "stack  slot  cost\n";
  for (RequestCost const& c : costs) {
    char row[64];
    std::snprintf(row, sizeof row, "%5d %5d %5s", c.stack, c.slot, cost_text(c.cost).c_str());
    text += row;
    if (c.stack == hardest.stack && c.slot == hardest.slot) text += "  <- hardest";
    text += "\n";
  }
  return text;
}

std::string stopped_report_text(Yard const& yard, Within within, SearchStatus status,
                                ValueBounds const& bounds, std::vector<YardStep> const& line) {
  std::string text = std::string("Order within groups: ") + within_name(within) + "\n";
  text += std::string("Search stopped (") + status_name(status) + "): the value is at least " +
          moves_text(bounds.lower, within) + " and " +
          (bounds.upper.placed() ? "at most " + moves_text(bounds.upper, within)
                                 : std::string("has no upper bound known")) +
          "\n";
  text += yard_drawing(yard);
  if (line.empty()) return text;
  text += "Line of the placement rule (each lifted item where it blocks least; each request's "
          "cost between the bounds shown):\n";
  Yard const* current = &yard;
  for (std::size_t i = 0; i < line.size(); ++i) {
    YardStep const& step = line[i];
    std::string const cost =
        step.lower ? moves_text(*step.lower, within) + " to " + moves_text(step.cost, within)
                   : moves_text(step.cost, within);
    text += "Request " + std::to_string(i + 1) + ": stack " + std::to_string(step.stack) +
            ", slot " + std::to_string(step.slot) + ", group " +
            std::to_string(current->stacks[step.stack][step.slot]) + ", cost " + cost + "\n";
    text += yard_drawing(*current, {step.stack, step.slot});
    if (!step.placed) break;
    current = &step.after;
    text += yard_drawing(*current);
  }
  return text;
}

std::string solve_report_text(SolveResult const& result) {
  if (result.status != SearchStatus::optimal) {
    std::vector<YardStep> line;
    for (LineStep const& step : result.line) {
      line.push_back({step.stack, step.slot, step.cost, step.moved, step.placed,
                      yard_of(step.after),
                      step.lower ? std::optional<Moves>(*step.lower) : std::nullopt});
    }
    return stopped_report_text(yard_of(result.board), Within::worst, result.status, result.bounds,
                               line);
  }
  std::string text = minimum_moves_line(result.value) + drawing(result.board);
  if (result.requests) {
    text += request_table_text(*result.requests, result.hardest.value_or(RequestCost{-1, -1, 0}));
  }
  return text + line_of_play_text(result.board, result.line);
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
                                    Within within) {
  if (costs.empty()) return "No request can be made: the yard holds no item to retrieve.\n";
  std::vector<std::string> texts;
  std::size_t width = 4;  // "cost"
  for (YardRequestCost const& c : costs) {
    texts.push_back(moves_text(c.cost, within));
    width = std::max(width, texts.back().size());
  }
  std::optional<YardRequestCost> const first = first_request(costs, within);
  std::string text =
      "Cost of each request (stacks count from 0 at the left, slots from 0 at the bottom):\n"
      "stack  slot  group  " +
      std::string(width - 4, ' ') + "cost\n";
  for (std::size_t i = 0; i < costs.size(); ++i) {
    YardRequestCost const& c = costs[i];
    char row[64];
    std::snprintf(row, sizeof row, "%5d %5d %6d  ", c.stack, c.slot, yard.stacks[c.stack][c.slot]);
    text += row + std::string(width - texts[i].size(), ' ') + texts[i];
    if (c.stack == first->stack && c.slot == first->slot) {
      text += std::string("  <- ") + first_request_mark(within);
    }
    text += "\n";
  }
  return text;
}

std::string yard_line_text(Yard const& start, std::vector<YardStep> const& line, Within within) {
  if (line.empty()) return "";
  std::string text = line_heading(within);
  Yard const* current = &start;
  for (std::size_t i = 0; i < line.size(); ++i) {
    YardStep const& step = line[i];
    text += "Request " + std::to_string(i + 1) + ": stack " + std::to_string(step.stack) +
            ", slot " + std::to_string(step.slot) + ", group " +
            std::to_string(current->stacks[step.stack][step.slot]) + ", cost " +
            moves_text(step.cost, within) + "\n";
    text += yard_drawing(*current, {step.stack, step.slot});
    if (!step.placed) break;
    current = &step.after;
    text += yard_drawing(*current);
  }
  return text;
}

std::string yard_report_text(YardResult const& result) {
  if (result.status != SearchStatus::optimal) {
    return stopped_report_text(result.yard, result.within, result.status, result.bounds,
                               result.line);
  }
  std::string text = yard_value_text(result.value, result.within) + yard_drawing(result.yard);
  if (result.requests) {
    text += yard_request_table_text(result.yard, *result.requests, result.within);
  }
  return text + yard_line_text(result.yard, result.line, result.within);
}
