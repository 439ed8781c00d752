// One board solved through the search engine: the queries that the chosen reports need.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>

#include "report/solve_result.h"
#include "search/engine.h"

struct SolveWants {
  bool line = true;       // best play for both sides
  bool requests = false;  // the cost of every request on the start board
};

// Solves `board` (well-formed, packs, request phase) in a fresh engine whose table may take
// max_bytes (0: no limit), after putting it into canonical order. Nothing when the table would
// outgrow max_bytes. Memory the system refuses, in the engine or not, is std::bad_alloc for the
// caller; an engine that gives up within its budget is a fault of the program (std::logic_error).
std::optional<SolveResult> solve_board(State board, SolveWants wants, std::size_t max_bytes,
                                       std::function<void(SearchStats const&)> progress);

// The same for a yard of retrieval groups (well formed, see yard_problem), the order inside each
// group set by `within`. A line of play is asked for only when wanted; the requests' costs are
// the yard's request_costs.
std::optional<YardResult> solve_yard(Yard yard, Within within, SolveWants wants,
                                     std::size_t max_bytes,
                                     std::function<void(SearchStats const&)> progress);
