// stacks_solve --check-moves FILE: a move list replayed on the yard given (--board, a FILE or
// one --instance), under the rules of the game (see replay/move_check.h). No search is made.
#pragma once

#include "solve_cli/exit_status.h"
#include "solve_cli/progress_line.h"
#include "solve_cli/solve_options.h"

// A legal list gets "19 relocations, 16 retrievals" (with --json {"legal": true,
// "relocations", "retrievals"}) and kExitSolved. The first illegal move gets one line on
// standard error naming the list, its line and why (with --json also {"legal": false, "line",
// "error"} on standard output), and kExitBadInput, as do a list or a yard that cannot be read.
ExitStatus run_check_moves(SolveOptions const& options, ProgressLine& progress);
