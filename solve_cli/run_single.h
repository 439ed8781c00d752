// stacks_solve on one board, given with --board or drawn in a file.
#pragma once

#include "solve_cli/exit_status.h"
#include "solve_cli/progress_line.h"
#include "solve_cli/solve_options.h"

ExitStatus run_single(SolveOptions const& options, ProgressLine& progress);
