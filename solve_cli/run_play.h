// stacks_solve --play: the interactive game of stacks_interactive on the user's board, with the
// search engine as advisor; the moves are read from standard input.
#pragma once

#include "solve_cli/exit_status.h"
#include "solve_cli/progress_line.h"
#include "solve_cli/solve_options.h"

ExitStatus run_play(SolveOptions const& options, ProgressLine& progress);
