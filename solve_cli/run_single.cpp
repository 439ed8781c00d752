#include "solve_cli/run_single.h"

#include <iostream>
#include <new>

#include "report/json_report.h"
#include "report/text_report.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/interrupt.h"
#include "solve_cli/read_board.h"
#include "solve_cli/solve_board.h"
#include "solve_cli/write_moves.h"
#include "solve_cli/write_pictures.h"
#include "solve_cli/write_summary.h"

namespace {

// Solves with `solve` and writes the report `report` makes of the result.
// The report of a search that a limit stopped is written too: it says what was proved.
template <class Solve, class Report>
ExitStatus solve_and_report(std::string const& where, SolveOptions const& options,
                            Within within, ProgressLine& progress, Solve const& solve,
                            Report const& report) {
  auto const show_progress = [&progress, within](SearchStats const& stats) {
    progress.show(progress_status(0, 0, stats.stored, progress.elapsed_seconds(),
                                  bounds_status(stats.bounds, within)));
  };
  try {
    SolveBudget const budget{options.max_bytes, options.time_limit, interrupt_flag(),
                             options.threads};
    bool const step_requests = options.requests && options.html;
    auto const result =
        solve(SolveWants{true, options.requests, step_requests}, budget, show_progress);
    progress.clear();
    if (!result.error.empty()) print_error(progress, where, result.error);
    if constexpr (requires { result.estimate; }) {
      if (result.estimate) print_error(progress, where, estimate_text(*result.estimate));
    }
    if (ExitStatus const step = check_picture_step(options, result.columns.size(), progress);
        step != kExitSolved) {
      return step;
    }
    std::cout << report(result) << std::flush;
    ShapeSummary summary;
    summary.add(result);
    ExitStatus const written =
        worse_exit_status(worse_exit_status(write_pictures(options, result, progress),
                                            write_moves(options, result, where, progress)),
                          write_summary(options, summary, progress));
    switch (result.status) {
      case SearchStatus::time_limit:
        return worse_exit_status(written, kExitTimeLimit);
      case SearchStatus::memory_limit:
        return worse_exit_status(written, kExitResourceLimit);
      default:
        return written;
    }
  } catch (std::bad_alloc const&) {
    print_error(progress, where, out_of_memory_message());
    return kExitResourceLimit;
  }
}

}  // namespace

ExitStatus run_single(SolveOptions const& options, ProgressLine& progress) {
  ReadBoard read = read_board(options);
  // A signal breaks off the read, and what was read is no board.
  if (interrupted()) return kExitSolved;
  if (auto* error = std::get_if<BoardError>(&read.board)) {
    print_error(progress, read.where, error->to_string());
    return kExitBadInput;
  }
  State const& board = std::get<State>(read.board);
  if (options.grouped()) return run_single_yard(read.where, yard_of(board), options, progress);
  return solve_and_report(
      read.where, options, Within::worst, progress,
      [&](SolveWants wants, SolveBudget const& budget, auto const& show) {
        return solve_board(board, wants, budget, show);
      },
      [&](SolveResult const& result) {
        return options.json ? json_line(solve_result_json(result))
                            : solve_report_text(result, marking_of(options));
      });
}

ExitStatus run_single_yard(std::string const& where, Yard const& yard, SolveOptions const& options,
                           ProgressLine& progress) {
  return solve_and_report(
      where, options, options.within, progress,
      [&](SolveWants wants, SolveBudget const& budget, auto const& show) {
        return solve_yard(yard, options.within, wants, budget, show);
      },
      [&](YardResult const& result) {
        return options.json ? json_line(yard_result_json(result))
                            : yard_report_text(result, marking_of(options));
      });
}
