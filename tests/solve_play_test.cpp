// stacks_solve --play: the game of stacks_interactive on a board the user gives.
#include <gtest/gtest.h>

#include "tests/support/interactive_output.h"
#include "tests/support/run_program.h"

namespace {

ProgramRun play(std::string const& board, std::string const& moves) {
  return run_program({STACKS_SOLVE, "--board", board, "--play"}, moves);
}

// The output with every advice drawing left out: the engine's advice may break a tie between
// equally hard requests otherwise than the exact tables do.
std::string without_advice(std::string const& output) {
  std::string kept;
  bool in_advice = false;
  int rulers = 0;
  for (auto const& line : lines_of(output)) {
    if (line == "You should try:") {
      in_advice = true;
      rulers = 0;
    } else if (in_advice) {
      if (line.find_first_not_of('-') == std::string::npos && ++rulers == 2) in_advice = false;
      continue;
    }
    kept += line + "\n";
  }
  return kept;
}

TEST(SolvePlay, TheInteractiveYardPlaysAsInStacksInteractive) {
  ProgramRun const run = play("1222000/1121000/1122000/1221000", kAdvisedGame);
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(costs(run.out), (std::vector<int>{19, 16, 12, 6, 2, 2, 0, 0}));
  EXPECT_EQ(without_advice(mask_time(run.out)),
            without_advice(read_file(GOLDEN_DIR "/stacks_interactive.txt")));
  // Every advice names a target.
  for (auto const& advice : drawings_after(run.out, "You should try:")) {
    EXPECT_NE(highlighted_cell(advice).first, -1);
  }
}

TEST(SolvePlay, ARequestThatCannotBeServedEndsTheGame) {
  ProgramRun const run = play("1212/1220", "0\n1\n");
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(lines_of(run.out).at(1),
            "Minimum moves: none - the items lifted for some request "
            "fit nowhere");
  EXPECT_TRUE(run.out.ends_with("Cost : no placement\n")) << run.out;
}

TEST(SolvePlay, BadMovesAreAskedAgainAndTheEndOfInputIsStatus2) {
  ProgramRun const run = play("12/00", "x\n5\n");
  EXPECT_EQ(run.exit_status, 2);
  auto const errors = lines_of(run.err);
  ASSERT_EQ(errors.size(), 3u) << run.err;
  EXPECT_EQ(errors[0].rfind("stacks_solve: 'x' is not a stack number", 0), 0u) << errors[0];
  EXPECT_EQ(errors[2], "stacks_solve: input ended before the game was over");
  EXPECT_EQ(costs(run.out), std::vector<int>{});

  ProgramRun const done = play("12/00", "x\n1\n");
  EXPECT_EQ(done.exit_status, 0);
  EXPECT_EQ(costs(done.out), std::vector<int>{1});
}

TEST(SolvePlay, PlayWithOptionsItCannotServeIsAUsageError) {
  for (auto const& args : std::vector<std::vector<std::string>>{
           {"--play", "--board", "12/00", "--json"},
           {"--play", "--board", "12/00", "--requests"},
           {"--play", "--batch", "-"},
           {"--play", "-"},
       }) {
    std::vector<std::string> argv = args;
    argv.insert(argv.begin(), STACKS_SOLVE);
    ProgramRun const run = run_program(argv, "12/00\n");
    EXPECT_EQ(run.exit_status, 2) << testing::PrintToString(args);
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
