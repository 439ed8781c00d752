#include "solve_cli/run_play.h"

#include <unistd.h>

#include <ctime>
#include <iostream>
#include <new>

#include "advisor/engine_advisor.h"
#include "advisor/guided_game.h"
#include "advisor/play_game.h"
#include "report/opening_lines.h"
#include "solve_cli/diagnostics.h"
#include "solve_cli/read_board.h"

namespace {

// The words for an engine that stopped answering for want of memory.
std::string shortage_message(Engine const& engine, std::size_t max_bytes) {
  return engine.memory_shortage() == MemoryShortage::system ? out_of_memory_message()
                                                            : memory_budget_message(max_bytes);
}

ExitStatus exit_status_of_game(int game_status) {
  switch (game_status) {
    case kGameOver:
      return kExitSolved;
    case kInputEnded:
      return kExitBadInput;
    default:
      return kExitInternalError;
  }
}

}  // namespace

ExitStatus run_play(SolveOptions const& options, ProgressLine& progress) {
  ReadBoard read = read_board(options);
  if (auto* error = std::get_if<BoardError>(&read.board)) {
    print_error(progress, read.where, error->to_string());
    return kExitBadInput;
  }
  // The game keeps the columns as given; the engine takes boards in any order.
  State board = std::get<State>(read.board);
  board.request = kNoRequest;

  // Progress only for the first solve: during the game the line would land among the turns.
  bool solving = true;
  Engine engine(options.max_bytes, [&](SearchStats const& stats) {
    if (solving) progress.show(progress_status(0, 0, stats.stored, progress.elapsed_seconds()));
  });
  try {
    std::clock_t const t0 = std::clock();
    std::optional<int> const value = engine.value(board);
    std::clock_t const t1 = std::clock();
    solving = false;
    progress.clear();
    if (!value) {
      print_error(progress, read.where, shortage_message(engine, options.max_bytes));
      return kExitResourceLimit;
    }
    std::cout << time_taken_line(t0, t1) << minimum_moves_line(*value);
    EngineAdvisor advisor(engine);
    GuidedStyle const style{marking_of(options), isatty(0) == 1};
    return exit_status_of_game(
        guided_game(board, advisor, std::cin, std::cout, std::cerr, "stacks_solve", style));
  } catch (GameOutOfMemory const&) {
    std::cout.flush();
    print_error(progress, read.where, shortage_message(engine, options.max_bytes));
    return kExitResourceLimit;
  } catch (std::bad_alloc const&) {
    std::cout.flush();
    print_error(progress, read.where, out_of_memory_message());
    return kExitResourceLimit;
  }
}
