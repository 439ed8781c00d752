#include "report/text_report.h"

#include <cstdio>
#include <sstream>

#include "report/opening_lines.h"
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

std::string solve_report_text(SolveResult const& result) {
  std::string text = minimum_moves_line(result.value) + drawing(result.board);
  if (result.requests) {
    text += request_table_text(*result.requests, result.hardest.value_or(RequestCost{-1, -1, 0}));
  }
  return text + line_of_play_text(result.board, result.line);
}
