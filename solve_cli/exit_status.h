// stacks_solve's exit statuses, and which one a run with several outcomes ends with.
#pragma once

enum ExitStatus : int {
  kExitSolved = 0,
  kExitInternalError = 1,
  kExitBadInput = 2,       // also a usage error
  kExitResourceLimit = 3,  // the memory budget, or no memory at all
  kExitTimeLimit = 4,      // --time-limit stopped a search: its bounds were reported instead
};
// A run that SIGINT or SIGTERM stopped ends with 128 + the signal's number (130, 143),
// whatever the boards before it gave.

// The status that a batch ends with when one line ended with `a` and another with `b`: an
// internal error outranks bad input, which outranks a resource limit, which outranks a time
// limit, which outranks success. Bad input comes before the limits because more memory or
// time would not make it solve.
ExitStatus worse_exit_status(ExitStatus a, ExitStatus b);
