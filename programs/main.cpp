// stacks_batch: solves the built-in yard of 5 stacks of 8 slots, reports the processor time and
// the fewest moves that are always enough, then replays best play for both sides.
#include <ctime>
#include <iostream>
#include <new>
#include <vector>

#include "model/state.h"
#include "programs/builtin_options.h"
#include "programs/help_text.h"
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

// What --help says, and so the manual page.
std::string help() {
  HelpText text;
  text.section("Usage: stacks_batch [--help | --version]");
  text.paragraph(
      "Solves its built-in yard of 5 stacks of 8 slots (10 targets, 8 other items) with the "
      "exact solver: the fewest relocations that always suffice to take every target out, "
      "whatever order the targets are asked for in. It prints the processor time the solve "
      "took (\"Time taken: 3.1 seconds\") and the value (\"Minimum moves: 20\"), draws the "
      "yard, then replays best play for both sides: after every request the yard is drawn with "
      "the requested target highlighted, after every retrieval it is drawn again with the "
      "lifted items on their new stacks.");
  text.paragraph(
      "A drawing shows the top slot first: 'o' is a target, 'x' another item. Stacks are "
      "always shown in canonical order (sorted bottom slot first, empty < target < other), so "
      "a stack may change column after a retrieval. stacks_solve solves any other yard.");
  text.section("Exit status:");
  text.entry("0", "solved and replayed");
  text.entry("1", "the output could not be written, or the replay stalled");
  text.entry("2", "an argument other than --help or --version");
  text.entry("3", "out of memory");
  return text.text();
}

}  // namespace

int main(int argc, char** argv) {
  if (auto const status = builtin_options(argc, argv, "stacks_batch", help())) return *status;
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
