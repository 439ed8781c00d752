// stacks_solve on one board, given with --board or drawn in a file, or on one yard of
// retrieval groups.
#pragma once

#include <string>

#include "model/yard.h"
#include "solve_cli/exit_status.h"
#include "solve_cli/progress_line.h"
#include "solve_cli/solve_options.h"

ExitStatus run_single(SolveOptions const& options, ProgressLine& progress);

// The text or JSON report of `yard` solved in the order of --within; `where` names its source
// in messages.
ExitStatus run_single_yard(std::string const& where, Yard const& yard, SolveOptions const& options,
                           ProgressLine& progress);
