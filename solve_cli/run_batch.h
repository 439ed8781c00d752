// stacks_solve --batch: every board of a batch file, one record a board, in input order.
#pragma once

#include "solve_cli/exit_status.h"
#include "solve_cli/progress_line.h"
#include "solve_cli/solve_options.h"

// A line that cannot be read or solved is reported on standard error (and, in JSON, by a
// record with its "error"), and the other lines are still solved; the status is the worst
// outcome of all lines (see worse_exit_status).
ExitStatus run_batch(SolveOptions const& options, ProgressLine& progress);
