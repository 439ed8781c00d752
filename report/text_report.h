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

// A number of moves as the grouped reports write it: "7" for worst and best order,
// "13.766642 (555071/40320)" (rounded decimal, exact fraction) for random, "none" for no
// placement.
std::string moves_text(Moves const& moves, Within within);

// "Order within groups: random", then "Expected moves: 13.766642 (555071/40320)" for random
// order and "Minimum moves: 7" otherwise; no placement is said in words.
std::string yard_value_text(Moves const& value, Within within);

// Stack, slot, group and cost of every request that may be made now, the one the line of play
// starts with marked (see first_request).
std::string yard_request_table_text(Yard const& yard, std::vector<YardRequestCost> const& costs,
                                    Within within);

// A line saying how its requests were chosen, then for every step a line with the request and
// its cost, the yard with the request highlighted and the yard after the retrieval.
std::string yard_line_text(Yard const& start, std::vector<YardStep> const& line, Within within);

// The report of a search that a limit stopped: how it stopped and what it proved, the yard,
// then the placement rule's line with each request's cost between its bounds.
std::string stopped_report_text(Yard const& yard, Within within, SearchStatus status,
                                ValueBounds const& bounds, std::vector<YardStep> const& line);

// The whole default report of a grouped solve, in the order of solve_report_text.
std::string yard_report_text(YardResult const& result);
