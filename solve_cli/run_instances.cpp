#include "solve_cli/run_instances.h"

#include <iostream>

#include "report/csv_report.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/interrupt.h"
#include "solve_cli/read_yard.h"
#include "solve_cli/record_run.h"
#include "solve_cli/run_single.h"

ExitStatus run_instances(SolveOptions const& options, ProgressLine& progress) {
  if (options.instances.size() == 1 && !options.csv) {
    ReadYard read = read_yard(options.instances.front(), options);
    // A signal breaks off the read, and what was read is no instance.
    if (interrupted()) return kExitSolved;
    if (auto const* error = std::get_if<BoardError>(&read.yard)) {
      print_error(progress, read.where, error->to_string());
      return kExitBadInput;
    }
    return run_single_yard(read.where, std::get<Yard>(read.yard), options, progress);
  }
  if (options.csv) std::cout << yard_csv_header("file") << std::flush;
  RecordRun run(options, progress);
  for (std::string const& path : options.instances) {
    if (interrupted()) break;
    ReadYard read = read_yard(path, options);
    if (interrupted()) break;
    RecordOrigin const origin{0, path, read.where};
    if (auto const* error = std::get_if<BoardError>(&read.yard)) {
      run.fail(origin, error->to_string(), kExitBadInput);
    } else {
      run.solve_yard(origin, std::get<Yard>(read.yard));
    }
  }
  progress.clear();
  return run.status();
}
