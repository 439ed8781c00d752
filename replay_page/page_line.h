// A line of play as the pictures show it: the start, one step for every request (the yard it
// finds, the target and where each lifted item lands) and the end, all in the columns the user
// gave. The page and the SVG pictures are drawn from this alone.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "replay/column_line.h"
#include "replay/drawing.h"
#include "report/solve_result.h"

// A request that may be made on the yard of a step, and its cost.
struct PageRequest {
  int column;
  int slot;
  std::string cost;
};

struct PageStep {
  std::string caption;  // "Start", "Request 2: stack 1, slot 0", "End"
  Yard yard;            // as the step finds it
  std::optional<std::pair<int, int>> target;  // (column, slot), for a request
  std::vector<ColumnMove> moves;              // in the order lifted, top first
  bool placed = true;                         // false when the lifted items fit nowhere
  std::string cost;  // the request's cost, moves from here to the end; empty for start and end
  int so_far = 0;    // moves made up to and with this step
  std::optional<std::vector<PageRequest>> requests;  // every request on `yard`, when asked for
};

struct PageLine {
  Glyphs glyphs = Glyphs::two_class;
  std::string heading;  // "Best line of play", "Unluckiest line of play", ...
  std::string within;   // "worst", "best", "random"
  // As page_moves_text writes it: "19", "13.766642 (555071/40320)", "none"; for a search that
  // stopped, its bounds: "at least 6, at most 8 (gap 25.0%)".
  std::string value;
  std::vector<PageStep> steps;  // the start, each request, the end
};

// A number of moves as the pictures show it: whole numbers as such ("4", in random order too),
// others rounded to six decimals with the exact fraction ("13.766642 (555071/40320)"), "none"
// for no placement.
std::string page_moves_text(Moves const& moves);

// The line of a two-class board and of a yard of groups, solved or stopped (then the line the
// search gives, each step's cost between its bounds: "6 to 8"). `step_costs`, when given, holds
// for every request of the line the costs of all requests on the canonical board it finds.
PageLine page_line(SolveResult const& result,
                   std::vector<std::vector<RequestCost>> const* step_costs = nullptr);
PageLine page_line(YardResult const& result,
                   std::vector<std::vector<YardRequestCost>> const* step_costs = nullptr);
