// The text reports of stacks_solve: the value, the start board and the best line drawn as
// stacks_batch draws them, and the table of request costs.
#pragma once

#include <string>
#include <vector>

#include "replay/drawing.h"
#include "report/solve_result.h"

// The text reports draw the yard as the user gave it: every stack, in the drawings, the tables
// and the lines of play, is the column it was given in (see replay/column_line.h). `marking`
// says how a requested cell stands out.

// The report of a search that a limit stopped: how it stopped and what it proved (the bounds,
// and how far apart they are: the gap (upper - lower) / upper, in per cent), the yard as given,
// a line saying that the requests' costs are not known when they were wanted, then the line
// the search gives with each request's cost between its bounds, in the columns as given
// (`steps`, the columns of `line`).
std::string stopped_report_text(Yard const& given, Within within, SearchStatus status,
                                ValueBounds const& bounds, std::vector<ColumnStep> const& steps,
                                std::vector<YardStep> const& line, bool requests_wanted = false,
                                Marking marking = Marking::colour);

// For every step a line naming the request and its cost, the yard with the request marked,
// the moves of the retrieval and the yard after it; a request that cannot be served ends the
// line undrawn after.
std::string line_of_play_text(std::vector<ColumnStep> const& steps,
                              std::vector<LineStep> const& line, Marking marking);

// Stack, slot and cost of every request (given on the canonical board, whose stack k stands in
// column columns[k]), by column, the hardest marked.
std::string request_table_text(std::vector<RequestCost> const& costs, RequestCost const& hardest,
                               std::vector<int> const& columns);

// The whole default report: value, start board, request table when present, best line.
std::string solve_report_text(SolveResult const& result, Marking marking = Marking::colour);

// A number of moves as the grouped reports write it: "7" for worst and best order,
// "13.766642 (555071/40320)" (rounded decimal, exact fraction) for random, "none" for no
// placement.
std::string moves_text(Moves const& moves, Within within);

// "Order within groups: random", then "Expected moves: 13.766642 (555071/40320)" for random
// order and "Minimum moves: 7" otherwise; no placement is said in words.
std::string yard_value_text(Moves const& value, Within within);

// Stack, slot, group and cost of every request that may be made now on `yard` (canonical,
// its stack k in column columns[k]), by column, the one the line of play starts with marked
// (see first_request).
std::string yard_request_table_text(Yard const& yard, std::vector<YardRequestCost> const& costs,
                                    Within within, std::vector<int> const& columns);

// A line saying how its requests were chosen, then for every step a line with the request, its
// group and its cost, the yard with the request marked, the moves and the yard after them.
std::string yard_line_text(std::vector<ColumnStep> const& steps,
                           std::vector<YardStep> const& line, Within within, Marking marking);

// The whole default report of a grouped solve, in the order of solve_report_text.
std::string yard_report_text(YardResult const& result, Marking marking = Marking::colour);
