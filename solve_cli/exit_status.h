// stacks_solve's exit statuses, and which one a run with several outcomes ends with.
#pragma once

enum ExitStatus : int {
  kExitSolved = 0,
  kExitInternalError = 1,
  kExitBadInput = 2,       // also a usage error
  kExitResourceLimit = 3,  // the memory budget, or no memory at all
};

// The status that a batch ends with when one line ended with `a` and another with `b`: an
// internal error outranks bad input, which outranks a resource limit, which outranks success.
// Bad input comes before the limit because more memory would not make it solve.
ExitStatus worse_exit_status(ExitStatus a, ExitStatus b);
