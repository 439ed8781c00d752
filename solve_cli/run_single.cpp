#include "solve_cli/run_single.h"

#include <iostream>
#include <new>

#include "board_io/bounded_read.h"
#include "board_io/compact_form.h"
#include "board_io/drawing_form.h"
#include "report/json_report.h"
#include "report/text_report.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/input_file.h"
#include "solve_cli/solve_board.h"

namespace {

// The board of --board or of the drawing, and the name that messages give its source.
struct ReadBoard {
  std::string where;
  ParsedBoard board;
};

ReadBoard read_drawn_board(std::string const& path) {
  InputFile input = open_input(path);
  if (!input.stream) return {input.name, BoardError{input.error}};
  BoundedText const text = read_at_most(*input.stream, kMaxDrawingBytes);
  if (text.failed) return {input.name, BoardError{"reading it failed"}};
  if (text.longer) {
    return {input.name, BoardError{"the input is longer than " + std::to_string(kMaxDrawingBytes) +
                                   " bytes, far beyond the drawing of the largest board"}};
  }
  return {input.name, parse_drawing(text.text)};
}

ReadBoard read_board(SolveOptions const& options) {
  if (options.board_text) return {"--board", parse_compact_board(*options.board_text)};
  return read_drawn_board(*options.drawing);
}

}  // namespace

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
