#include "solve_cli/exit_status.h"

namespace {

int severity(ExitStatus status) {
  switch (status) {
    case kExitSolved:
      return 0;
    case kExitTimeLimit:
      return 1;
    case kExitResourceLimit:
      return 2;
    case kExitBadInput:
      return 3;
    case kExitInternalError:
      return 4;
  }
  return 4;
}

}  // namespace

ExitStatus worse_exit_status(ExitStatus a, ExitStatus b) {
  return severity(a) >= severity(b) ? a : b;
}
