#include "solve_cli/run_single.h"

#include <iostream>
#include <new>

#include "report/json_report.h"
#include "report/text_report.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/read_board.h"
#include "solve_cli/solve_board.h"

namespace {

// Solves with `solve` and writes the report `report` makes of the result.
template <class Solve, class Report>
ExitStatus solve_and_report(std::string const& where, SolveOptions const& options,
                            ProgressLine& progress, Solve const& solve, Report const& report) {
  auto const show_progress = [&progress](SearchStats const& stats) {
    progress.show(progress_status(0, 0, stats.stored, progress.elapsed_seconds()));
  };
  try {
    auto const result = solve(SolveWants{true, options.requests}, show_progress);
    progress.clear();
    if (!result) {
      print_error(progress, where, memory_budget_message(options.max_bytes));
      return kExitResourceLimit;
    }
    std::cout << report(*result);
  } catch (std::bad_alloc const&) {
    print_error(progress, where, out_of_memory_message());
    return kExitResourceLimit;
  }
  return kExitSolved;
}

}  // namespace

ExitStatus run_single(SolveOptions const& options, ProgressLine& progress) {
  ReadBoard read = read_board(options);
  if (auto* error = std::get_if<BoardError>(&read.board)) {
    print_error(progress, read.where, error->to_string());
    return kExitBadInput;
  }
  State const& board = std::get<State>(read.board);
  if (options.grouped()) return run_single_yard(read.where, yard_of(board), options, progress);
  return solve_and_report(
      read.where, options, progress,
      [&](SolveWants wants, auto const& show) {
        return solve_board(board, wants, options.max_bytes, show);
      },
      [&](SolveResult const& result) {
        return options.json ? json_line(solve_result_json(result)) : solve_report_text(result);
      });
}

ExitStatus run_single_yard(std::string const& where, Yard const& yard, SolveOptions const& options,
                           ProgressLine& progress) {
  return solve_and_report(
      where, options, progress,
      [&](SolveWants wants, auto const& show) {
        return solve_yard(yard, options.within, wants, options.max_bytes, show);
      },
      [&](YardResult const& result) {
        return options.json ? json_line(yard_result_json(result)) : yard_report_text(result);
      });
}
