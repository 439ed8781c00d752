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
#include "programs/builtin_options.h"
#include "programs/help_text.h"
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

// What --help says, and so the manual page.
std::string help() {
  HelpText text;
  text.section("Usage: stacks_interactive [--help | --version]");
  text.paragraph(
      "Solves its built-in yard of 4 stacks of 7 slots (8 targets, 8 other items) with the "
      "exact solver and lets you play the side that asks for the targets, against the "
      "solver's best retrievals. It prints the processor time the solve took and the value "
      "(\"Minimum moves: 19\"), then, each turn, the hardest request as advice (\"You should "
      "try:\", the advised target blinking on green) and waits for you to name a stack: type "
      "its number, counted from 0 at the leftmost column of the latest drawing, and press "
      "Enter. The lowest target of that stack is requested (\"Current state:\"), its cost is "
      "shown (\"Cost : \", the moves the retrieving side needs from there to the end), the "
      "solver relocates the items above it, and the yard after the retrieval is drawn (\"We "
      "ask :\"). The game ends when no target is left: 8 turns.");
  text.paragraph(
      "Several numbers may be typed on one line; later turns use them without waiting. "
      "Mistyped input costs no turn: a word, a number with other characters, a stack that "
      "does not exist or holds no target gets one line on standard error, and the program "
      "reads again. stacks_solve --play plays the same game on any board.");
  text.section("Exit status:");
  text.entry("0", "the game was played to its end");
  text.entry("1", "the input ended before the game did, or the output could not be written");
  text.entry("2", "an argument other than --help or --version, or an internal error");
  text.entry("3", "out of memory");
  return text.text();
}

}  // namespace

int main(int argc, char** argv) {
  if (auto const status = builtin_options(argc, argv, kProgramName, help())) return *status;
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
