#include "solve_cli/run_instances.h"

#include <iostream>

#include "report/csv_report.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/instance_paths.h"
#include "solve_cli/interrupt.h"
#include "solve_cli/read_yard.h"
#include "solve_cli/record_run.h"
#include "solve_cli/run_single.h"
#include "solve_cli/write_summary.h"

ExitStatus run_instances(SolveOptions const& options, ProgressLine& progress) {
  if (options.instances.size() == 1 && !options.csv && !is_folder(options.instances.front())) {
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
  for (InstancePath const& entry : instance_paths(options.instances)) {
    if (interrupted()) break;
    if (!entry.error.empty()) {
      run.fail({0, entry.path, entry.path}, entry.error, kExitBadInput);
      continue;
    }
    ReadYard read = read_yard(entry.path, options);
    if (interrupted()) break;
    RecordOrigin const origin{0, entry.path, read.where};
    if (auto const* error = std::get_if<BoardError>(&read.yard)) {
      run.fail(origin, error->to_string(), kExitBadInput);
    } else {
      run.solve_yard(origin, std::get<Yard>(read.yard));
    }
  }
  progress.clear();
  return worse_exit_status(run.status(), write_summary(options, run.summary(), progress));
}
