// stacks_batch: solves the built-in yard of 5 stacks of 8 slots, reports the processor time and
// the fewest moves that are always enough, then replays best play for both sides.
#include <ctime>
#include <iostream>
#include <new>
#include <vector>

#include "model/state.h"
#include "report/opening_lines.h"
#include "solver/compute.h"

namespace {

// The built-in yard, each stack bottom slot first: 10 targets and 8 other items.
std::vector<std::vector<int>> const kBuiltInStacks = {
    {1, 2, 2, 2, 1, 0, 0, 0}, {1, 2, 1, 2, 0, 0, 0, 0}, {1, 1, 1, 0, 0, 0, 0, 0},
    {1, 2, 1, 0, 0, 0, 0, 0}, {1, 2, 2, 0, 0, 0, 0, 0},
};

// Follows the stored successors from the start board until no target is left, drawing each.
// A board that is missing from the table, or a request whose lifted items fit nowhere, would
// stall the walk; both are reported instead of looping.
bool replay_best_play(State board) {
  while (board.remaining > 0) {
    State next = best_successor(board);
    if (!board.in_request_phase() && !next.in_request_phase()) {
      std::cerr << "stacks_batch: the items lifted for the request at stack " << board.request.first
                << " fit nowhere; the replay stops here\n";
      return false;
    }
    board = std::move(next);
    board.print();
  }
  return true;
}

// A replay that could not be written is no success, whatever the solve gave.
int checked_output(int status) {
  std::cout.flush();
  if (std::cout) return status;
  std::cerr << "stacks_batch: writing the output failed\n";
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
    board.print();
    return checked_output(replay_best_play(board) ? 0 : 1);
  } catch (std::bad_alloc const&) {
    std::cout.flush();
    std::cerr << "stacks_batch: out of memory while solving the built-in board\n";
    return 3;
  }
}
