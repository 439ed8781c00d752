#include "solve_cli/exit_status.h"

namespace {

int severity(ExitStatus status) {
  switch (status) {
    case kExitSolved:
      return 0;
    case kExitResourceLimit:
      return 1;
    case kExitBadInput:
      return 2;
    case kExitInternalError:
      return 3;
  }
  return 3;
}

}  // namespace

ExitStatus worse_exit_status(ExitStatus a, ExitStatus b) {
  return severity(a) >= severity(b) ? a : b;
}
