// stacks_solve --instance: yards of retrieval groups in the instance form of the literature.
#pragma once

#include "solve_cli/exit_status.h"
#include "solve_cli/progress_line.h"
#include "solve_cli/solve_options.h"

// One file without --csv gets the report of a single board. Several files, a folder (every
// file in it, see instance_paths.h) or --csv are solved like a batch, one record a file naming
// it; a file that cannot be read or solved is
// reported on standard error (and, in JSON, by a record with its "error"), and the others are
// still solved; the status is the worst outcome of all files (see worse_exit_status).
ExitStatus run_instances(SolveOptions const& options, ProgressLine& progress);
