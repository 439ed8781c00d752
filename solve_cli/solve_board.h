// One board solved through the search engine: the queries that the chosen reports need.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>

#include "report/solve_result.h"
#include "search/engine.h"

struct SolveWants {
  bool line = true;       // best play for both sides
  bool requests = false;  // the cost of every request on the start board
  bool step_requests = false;  // the cost of every request on the board of every step (--html)
};

// What one solve may take.
struct SolveBudget {
  std::size_t max_bytes = 0;          // the engine's table; 0 for no limit
  std::optional<double> time_limit;   // seconds, counted from the start of the solve
  std::atomic<bool> const* interrupt = nullptr;  // set to stop at once
  int threads = 1;                    // that search for the value
  char const* memory_option = "--max-memory";  // what memory messages tell the user to change
};

// Solves `board` (well-formed, packs, request phase) in a fresh engine, after putting it into
// canonical order. A solve that a limit stops is still a result: its status says which limit,
// its bounds what was proved, its line the one the engine gives for a stopped search (see
// Engine::rule_line), and, for the memory limits, its error the message for the user. Bounds
// that meet are the value: what else is wanted is then worked out past the time limit, and the
// result is optimal, with the line of best play; an interrupt or the memory limit during that
// leaves the status of the stop. Every line, stopped or not, is also carried to the columns as
// given. Memory the system refuses outside the engine is std::bad_alloc for the caller.
SolveResult solve_board(State board, SolveWants wants, SolveBudget const& budget,
                        std::function<void(SearchStats const&)> progress);

// The same for a yard of retrieval groups (well formed, see yard_problem), the order inside each
// group set by `within`. A line of play is asked for only when wanted; the requests' costs are
// the yard's request_costs.
YardResult solve_yard(Yard yard, Within within, SolveWants wants, SolveBudget const& budget,
                      std::function<void(SearchStats const&)> progress);
