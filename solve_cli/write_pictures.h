// --html and --svg: the pictures of one solved board or yard, written to their files after the
// report has gone to standard output, so that a file that cannot be written loses no report.
#pragma once

#include <string>

#include "report/solve_result.h"
#include "solve_cli/exit_status.h"
#include "solve_cli/progress_line.h"
#include "solve_cli/solve_options.h"

// kExitSolved unless --svg asks for a step beyond the line of `requests` requests: that is bad
// input, said in one line on standard error, and nothing should be written then.
ExitStatus check_picture_step(SolveOptions const& options, std::size_t requests,
                              ProgressLine& progress);

// Writes the pictures asked for (none, or the page and the picture of a step checked by
// check_picture_step), of the line of best play, or for a search that a limit stopped, of the
// line it gives with the bounds of each step. kExitSolved when every one was written; a file
// that cannot be written is a failure of the output, said in one line on standard error.
ExitStatus write_pictures(SolveOptions const& options, SolveResult const& result,
                          ProgressLine& progress);
ExitStatus write_pictures(SolveOptions const& options, YardResult const& result,
                          ProgressLine& progress);
