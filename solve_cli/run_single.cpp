#include "solve_cli/run_single.h"

#include <iostream>
#include <new>

#include "report/json_report.h"
#include "report/text_report.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/read_board.h"
#include "solve_cli/solve_board.h"

ExitStatus run_single(SolveOptions const& options, ProgressLine& progress) {
  ReadBoard read = read_board(options);
  if (auto* error = std::get_if<BoardError>(&read.board)) {
    print_error(progress, read.where, error->to_string());
    return kExitBadInput;
  }
  auto const show_progress = [&progress](SearchStats const& stats) {
    progress.show(progress_status(0, 0, stats.stored, progress.elapsed_seconds()));
  };
  try {
    auto const result = solve_board(std::get<State>(read.board), {true, options.requests},
                                    options.max_bytes, show_progress);
    progress.clear();
    if (!result) {
      print_error(progress, read.where, memory_budget_message(options.max_bytes));
      return kExitResourceLimit;
    }
    if (options.json) {
      std::cout << solve_result_json(*result).dump(-1, ' ', false,
                                                   nlohmann::json::error_handler_t::replace)
                << "\n";
    } else {
      std::cout << solve_report_text(*result);
    }
  } catch (std::bad_alloc const&) {
    print_error(progress, read.where, out_of_memory_message());
    return kExitResourceLimit;
  }
  return kExitSolved;
}
