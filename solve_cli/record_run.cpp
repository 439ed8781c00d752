#include "solve_cli/record_run.h"

#include <unistd.h>

#include <iostream>
#include <new>

#include "report/csv_report.h"
#include "report/json_report.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/solve_board.h"

namespace {

// Writes a record; the progress line is wiped first when both share the terminal, and is left
// standing when the records go elsewhere.
void write_record(ProgressLine& progress, std::string const& text) {
  static bool const output_is_terminal = isatty(1) == 1;
  if (output_is_terminal) progress.clear();
  std::cout << text;
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

std::string record_text(RecordOrigin const& origin, SolveResult const& result, bool csv) {
  return csv ? csv_row(origin.line, result) : json_line(solve_result_json(result, origin.line));
}

std::string record_text(RecordOrigin const& origin, YardResult const& result, bool csv) {
  if (!csv) return json_line(yard_result_json(result, origin_json(origin)));
  return yard_csv_row(origin.line > 0 ? std::to_string(origin.line) : origin.file, result);
}

}  // namespace

template <class Solve>
void RecordRun::solve_with(RecordOrigin const& origin, Solve const& solve) {
  try {
    auto const progress = [this, &origin](SearchStats const& stats) {
      show_progress(origin, stats.stored);
    };
    auto const result = solve(SolveWants{!options_.csv, options_.requests}, progress);
    if (!result) {
      fail(origin, memory_budget_message(options_.max_bytes), kExitResourceLimit);
      return;
    }
    ++solved_;
    write_record(progress_, record_text(origin, *result, options_.csv));
    show_progress(origin, result->states);
  } catch (std::bad_alloc const&) {
    fail(origin, out_of_memory_message(), kExitResourceLimit);
  }
}

void RecordRun::solve_board(RecordOrigin const& origin, State const& board) {
  solve_with(origin, [&](SolveWants wants, auto const& progress) {
    return ::solve_board(board, wants, options_.max_bytes, progress);
  });
}

void RecordRun::solve_yard(RecordOrigin const& origin, Yard const& yard) {
  solve_with(origin, [&](SolveWants wants, auto const& progress) {
    return ::solve_yard(yard, options_.within, wants, options_.max_bytes, progress);
  });
}

void RecordRun::fail(RecordOrigin const& origin, std::string const& what, ExitStatus status) {
  status_ = worse_exit_status(status_, status);
  print_error(progress_, origin.where, what);
  if (options_.csv) return;
  write_record(progress_, json_line(origin.line > 0 ? batch_error_json(origin.line, what)
                                                    : file_error_json(origin.file, what)));
}

void RecordRun::show_progress(RecordOrigin const& origin, std::uint64_t stored) {
  double const seconds = progress_.elapsed_seconds();
  progress_.show(origin.line > 0 ? progress_status(solved_, origin.line, stored, seconds)
                                 : file_progress_status(solved_, escape_unprintable(origin.file),
                                                        stored, seconds));
}
