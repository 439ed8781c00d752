// --html and --svg: the pictures of one solved board or yard, written to their files before the
// report goes to standard output.
#pragma once

#include <string>

#include "report/solve_result.h"
#include "solve_cli/exit_status.h"
#include "solve_cli/progress_line.h"
#include "solve_cli/solve_options.h"

// kExitSolved when every picture asked for was written (or none was asked for); a step beyond
// the line is bad input, a file that cannot be written a failure of the output. Either gets one
// line on standard error, and no file is written for a step beyond the line. A search that a
// limit stopped has no best line to draw: a line on standard error says so, naming `where`,
// and the run goes on.
ExitStatus write_pictures(SolveOptions const& options, SolveResult const& result,
                          std::string const& where, ProgressLine& progress);
ExitStatus write_pictures(SolveOptions const& options, YardResult const& result,
                          std::string const& where, ProgressLine& progress);
