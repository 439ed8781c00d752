// The text reports of stacks_solve: the value, the start board and the best line drawn as
// stacks_batch draws them, and the table of request costs.
#pragma once

#include <string>
#include <vector>

#include "report/solve_result.h"

// The board before each request with the requested target highlighted, then the board after
// the retrieval, for every step; a request that cannot be served ends the line undrawn after.
std::string line_of_play_text(State const& start, std::vector<LineStep> const& line);

// Stack, slot and cost of every request on `board`, the hardest marked.
std::string request_table_text(std::vector<RequestCost> const& costs, RequestCost const& hardest);

// The whole default report: value, start board, request table when present, best line.
std::string solve_report_text(SolveResult const& result);
