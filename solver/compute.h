// Exact minimax over both phases of play, memoised in memo and memo_strat.
#pragma once

#include "model/state.h"
#include "rules/no_placement.h"
#include "solver/board_table.h"

// The least number of relocations that the retrieving side can guarantee from this board when
// the requesting side names the worst targets. Fills memo and memo_strat for the board and for
// every board its search examines; a board already in memo is answered from it. depth only
// counts nesting and changes nothing. Throws std::invalid_argument for a board that cannot be
// packed (see packing_problem): too big, with a gap, or a request that names no target.
int compute(State const& board, int depth);

// Work done by compute since the start (or the last clear_tables).
struct SolverStats {
  // Retrieval results looked up: one per placement tried that fits.
  unsigned long long children = 0;
};
extern SolverStats stats;

// memo_strat's entry for the board, unpacked; throws std::out_of_range when it has none.
State best_successor(State const& board);

// Empties both tables and the statistics, for callers that solve unrelated boards and want fresh
// counts.
void clear_tables();
