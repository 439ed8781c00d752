// stacks_interactive: solves the built-in yard of 4 stacks of 7 slots, reports the processor
// time and the fewest moves that are always enough, then lets a person play the requesting
// side from the terminal, with the hardest request as advice and the exact solver's answers.
#include <ctime>
#include <exception>
#include <iostream>
#include <new>
#include <vector>

#include "advisor/exact_advisor.h"
#include "advisor/play_game.h"
#include "model/state.h"
#include "report/opening_lines.h"
#include "solver/compute.h"

namespace {

constexpr char const* kProgramName = "stacks_interactive";

// The built-in yard, each stack bottom slot first: 8 targets and 8 other items.
std::vector<std::vector<int>> const kBuiltInStacks = {
    {1, 2, 2, 2, 0, 0, 0},
    {1, 1, 2, 1, 0, 0, 0},
    {1, 1, 2, 2, 0, 0, 0},
    {1, 2, 2, 1, 0, 0, 0},
};

// A game whose turns could not be written is no success, however it ended.
int checked_output(int status) {
  std::cout.flush();
  if (std::cout) return status;
  std::cerr << kProgramName << ": writing the output failed\n";
  return 1;
}

}  // namespace

int main() {
  try {
    State board(kBuiltInStacks, kNoRequest);
    board.sort_stacks();

    std::clock_t const t0 = std::clock();
    int const value = compute(board, 0);
    std::clock_t const t1 = std::clock();

    std::cout << time_taken_line(t0, t1) << minimum_moves_line(value);
    ExactAdvisor advisor;
    return checked_output(play_game(board, advisor, std::cin, std::cout, std::cerr, kProgramName));
  } catch (std::bad_alloc const&) {
    std::cout.flush();
    std::cerr << kProgramName << ": out of memory while solving or playing the built-in board\n";
    return 3;
  } catch (std::exception const& e) {
    // A table lookup that finds nothing: the game cannot go on without inventing a board.
    std::cout.flush();
    std::cerr << kProgramName << ": internal error: " << e.what() << "\n";
    return 2;
  }
}
