#include "solve_cli/record_run.h"

#include <unistd.h>

#include <iostream>
#include <new>

#include "report/csv_report.h"
#include "report/json_report.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/interrupt.h"
#include "solve_cli/solve_board.h"

namespace {

// Writes a record whole, so that a run stopped after it leaves valid records behind; the
// progress line is wiped first when both share the terminal, and is left standing when the
// records go elsewhere.
void write_record(ProgressLine& progress, std::string const& text) {
  static bool const output_is_terminal = isatty(1) == 1;
  if (output_is_terminal) progress.clear();
  std::cout << text << std::flush;
}

JsonRecord origin_json(RecordOrigin const& origin) {
  JsonRecord record = JsonRecord::object();
  if (origin.line > 0) {
    record["input_line"] = origin.line;
  } else {
    record["file"] = origin.file;
  }
  return record;
}

std::string origin_field(RecordOrigin const& origin) {
  return origin.line > 0 ? std::to_string(origin.line) : origin.file;
}

std::string record_text(RecordOrigin const& origin, SolveResult const& result, bool csv) {
  return csv ? csv_row(origin.line, result) : json_line(solve_result_json(result, origin.line));
}

std::string record_text(RecordOrigin const& origin, YardResult const& result, bool csv) {
  if (!csv) return json_line(yard_result_json(result, origin_json(origin)));
  return yard_csv_row(origin_field(origin), result);
}

ExitStatus exit_status_of(SearchStatus status) {
  switch (status) {
    case SearchStatus::optimal: return kExitSolved;
    case SearchStatus::time_limit: return kExitTimeLimit;
    case SearchStatus::memory_limit: return kExitResourceLimit;
    case SearchStatus::interrupted: return kExitSolved;  // the run's status says it
  }
  return kExitSolved;
}

}  // namespace

template <class Solve>
void RecordRun::solve_with(RecordOrigin const& origin, Within within, Solve const& solve) {
  try {
    auto const progress = [this, &origin, within](SearchStats const& stats) {
      show_progress(origin, stats.stored, bounds_status(stats.bounds, within));
    };
    SolveBudget const budget{options_.max_bytes, options_.time_limit, interrupt_flag(),
                             options_.threads};
    auto const result = solve(SolveWants{!options_.csv, options_.requests}, budget, progress);
    status_ = worse_exit_status(status_, exit_status_of(result.status));
    if (!result.error.empty()) print_error(progress_, origin.where, result.error);
    if constexpr (requires { result.estimate; }) {
      if (result.estimate) print_error(progress_, origin.where, estimate_text(*result.estimate));
    }
    ++solved_;
    summary_.add(result);
    write_record(progress_, record_text(origin, result, options_.csv));
    show_progress(origin, result.states, "");
  } catch (std::bad_alloc const&) {
    fail(origin, out_of_memory_message(), kExitResourceLimit);
  }
}

void RecordRun::solve_board(RecordOrigin const& origin, State const& board) {
  solve_with(origin, Within::worst, [&](SolveWants wants, SolveBudget const& budget, auto const& progress) {
    return ::solve_board(board, wants, budget, progress);
  });
}

void RecordRun::solve_yard(RecordOrigin const& origin, Yard const& yard) {
  solve_with(origin, options_.within,
             [&](SolveWants wants, SolveBudget const& budget, auto const& progress) {
               return ::solve_yard(yard, options_.within, wants, budget, progress);
             });
}

void RecordRun::fail(RecordOrigin const& origin, std::string const& what, ExitStatus status) {
  status_ = worse_exit_status(status_, status);
  print_error(progress_, origin.where, what);
  if (options_.csv) {
    write_record(progress_, csv_error_row(origin_field(origin), options_.grouped(), what));
    return;
  }
  write_record(progress_, json_line(origin.line > 0 ? batch_error_json(origin.line, what)
                                                    : file_error_json(origin.file, what)));
}

void RecordRun::show_progress(RecordOrigin const& origin, std::uint64_t stored,
                              std::string const& bounds) {
  double const seconds = progress_.elapsed_seconds();
  progress_.show(origin.line > 0
                     ? progress_status(solved_, origin.line, stored, seconds, bounds)
                     : file_progress_status(solved_, escape_unprintable(origin.file), stored,
                                            seconds, bounds));
}
