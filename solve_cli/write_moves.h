// --moves FILE: the line of one solved (or stopped) board or yard as a move list, written after
// the report, so that a file that cannot be written loses no report.
#pragma once

#include <string>

#include "report/solve_result.h"
#include "solve_cli/exit_status.h"
#include "solve_cli/progress_line.h"
#include "solve_cli/solve_options.h"

// kExitSolved when the list was written, or none was asked for; a file that cannot be written
// is a failure of the output, said in one line on standard error. `where` names the yard's
// source ("--board", a file) in the list's first comment.
ExitStatus write_moves(SolveOptions const& options, SolveResult const& result,
                       std::string const& where, ProgressLine& progress);
ExitStatus write_moves(SolveOptions const& options, YardResult const& result,
                       std::string const& where, ProgressLine& progress);
