// --summary: the summary of the yards of a run (see report/shape_summary.h), written where it
// cannot break the records on standard output: standard error, or a file the user names.
#pragma once

#include "report/shape_summary.h"
#include "solve_cli/exit_status.h"
#include "solve_cli/progress_line.h"
#include "solve_cli/solve_options.h"

// kExitSolved when it was written, or none was asked for; a file that cannot be written gets a
// line on standard error and kExitInternalError.
ExitStatus write_summary(SolveOptions const& options, ShapeSummary const& summary,
                         ProgressLine& progress);
