#include "solve_cli/write_summary.h"

#include <fstream>
#include <iostream>

#include "solve_cli/diagnostics.h"

ExitStatus write_summary(SolveOptions const& options, ShapeSummary const& summary,
                         ProgressLine& progress) {
  if (!options.summary) return kExitSolved;
  if (options.summary->empty()) {
    progress.clear();
    std::cerr << summary.csv() << std::flush;
    return kExitSolved;
  }
  std::ofstream file(*options.summary, std::ios::binary);
  file << summary.csv();
  file.close();
  if (file) return kExitSolved;
  print_error(progress, *options.summary, "writing the summary failed");
  return kExitInternalError;
}
