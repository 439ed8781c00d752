#include "solve_cli/run_batch.h"

#include <iostream>

#include "board_io/batch_reader.h"
#include "report/csv_report.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/input_file.h"
#include "solve_cli/interrupt.h"
#include "solve_cli/record_run.h"
#include "solve_cli/write_summary.h"

ExitStatus run_batch(SolveOptions const& options, ProgressLine& progress) {
  InputFile input = open_input(*options.batch);
  if (!input.stream) {
    print_error(progress, input.name, input.error);
    return kExitBadInput;
  }
  if (options.csv) {
    std::cout << (options.grouped() ? yard_csv_header("line") : csv_header()) << std::flush;
  }
  RecordRun run(options, progress);
  BatchReader reader(*input.stream);
  while (!interrupted()) {
    auto entry = reader.next();
    // A signal breaks off the read of a line, and what was read of it is no line of the input.
    if (!entry || interrupted()) break;
    // A board error names its line already; a solve that gives up does not.
    RecordOrigin origin{entry->line, "", input.name + ": line " + std::to_string(entry->line)};
    if (auto const* error = std::get_if<BoardError>(&entry->board)) {
      origin.where = input.name;
      run.fail(origin, error->to_string(), kExitBadInput);
    } else if (options.grouped()) {
      run.solve_yard(origin, yard_of(std::get<State>(entry->board)));
    } else {
      run.solve_board(origin, std::get<State>(entry->board));
    }
  }
  progress.clear();
  ExitStatus status =
      worse_exit_status(run.status(), write_summary(options, run.summary(), progress));
  // A signal breaks off a read of standard input too; that is no failure of the input.
  if ((reader.read_failed() || input.read_failed()) && !interrupted()) {
    print_error(progress, input.name, "reading it failed");
    status = worse_exit_status(status, kExitBadInput);
  }
  return status;
}
