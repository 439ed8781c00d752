// stacks_interactive run as a user runs it, with all of its input given at once.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/interactive_output.h"
#include "tests/support/run_program.h"

namespace {

ProgramRun run_interactive(std::string const& input) {
  return run_program({STACKS_INTERACTIVE}, input);
}

TEST(InteractiveProgram, FollowingTheAdviceMatchesTheGoldenFile) {
  ProgramRun const run = run_interactive(kAdvisedGame);
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(mask_time(run.out), read_file(GOLDEN_DIR "/stacks_interactive.txt"));
  EXPECT_EQ(lines_of(run.out).at(1), "Minimum moves: 19");
  EXPECT_EQ(costs(run.out), (std::vector<int>{19, 16, 12, 6, 2, 2, 0, 0}));
  // The input names the stack of the advised target in every turn.
  std::istringstream named(kAdvisedGame);
  for (auto const& advice : drawings_after(run.out, "You should try:")) {
    int stack = -1;
    named >> stack;
    EXPECT_EQ(highlighted_cell(advice).first, stack);
  }
  std::vector<std::string> const last = drawings_after(run.out, "We ask :").back();
  std::string const cells = [&] {
    std::string all;
    for (auto const& line : last)
      all += line;
    return all;
  }();
  EXPECT_EQ(std::count(cells.begin(), cells.end(), 'x'), 8);
  EXPECT_EQ(cells.find('o'), std::string::npos);
}

TEST(InteractiveProgram, GameThatStartsWithStackOne) {
  ProgramRun const run = run_interactive("1\n");
  EXPECT_EQ(run.exit_status, 1);
  auto const asked = drawings_after(run.out, "We ask :");
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0], (std::vector<std::string>{"------", "|    |", "|    |", "|    |", "|oxox|",
                                                "|xxxx|", "|ooxx|", "|oooo|", "------"}));
  EXPECT_EQ(asked[1], (std::vector<std::string>{"------", "|    |", "| x  |", "| xo |", "| oox|",
                                                "| xxx|", "| oxx|", "| ooo|", "------"}));
  auto const advice = drawings_after(run.out, "You should try:");
  ASSERT_EQ(advice.size(), 2u);
  EXPECT_EQ(highlighted_cell(advice[0]), std::make_pair(1, 1));
  EXPECT_EQ(highlighted_cell(advice[1]), std::make_pair(2, 0));
}

TEST(InteractiveProgram, FirstRequestFromEachStack) {
  int const expected_cost[] = {19, 19, 18, 18};
  for (int stack = 0; stack < 4; ++stack) {
    ProgramRun const run = run_interactive(std::to_string(stack) + "\n");
    auto const current = drawings_after(run.out, "Current state:");
    ASSERT_EQ(current.size(), 1u) << stack;
    // The lowest target of the stack: slot 0 in every stack of the start board.
    EXPECT_EQ(highlighted_cell(current[0]), std::make_pair(stack, 0));
    EXPECT_EQ(costs(run.out), std::vector<int>{expected_cost[stack]});
  }
}

std::string const kAllStacks = "; name one of the stacks 0, 1, 2, 3 (those holding a target)\n";

TEST(InteractiveProgram, BadTokensCostNoTurnAndLeaveStandardOutputAlone) {
  std::string const clean = mask_time(run_interactive(kAdvisedGame).out);
  struct Case {
    std::string input;
    std::string err;
  };
  std::string const rest_of_game = std::string(kAdvisedGame).substr(2);  // after "1\n"
  for (Case const& c : std::vector<Case>{
           {"abc\n", "'abc' is not a stack number" + kAllStacks},
           {"3x 2.5\n", "'3x' is not a stack number" + kAllStacks +
                            "stacks_interactive: '2.5' is not a stack number" + kAllStacks},
           {"99999999999\n",
            "there is no stack 99999999999 (the stacks are numbered 0 to 3)" + kAllStacks},
           {"-1\n", "there is no stack -1 (the stacks are numbered 0 to 3)" + kAllStacks},
           {"4\n", "there is no stack 4 (the stacks are numbered 0 to 3)" + kAllStacks},
           {"1\n0\n",
            "stack 0 holds no target; name one of the stacks 1, 2, 3 (those holding a target)\n"},
       }) {
    // The last case names stack 1 first, so its game goes on from the second turn.
    std::string const input =
        c.input.starts_with("1\n") ? c.input + rest_of_game : c.input + kAdvisedGame;
    ProgramRun const run = run_interactive(input);
    EXPECT_EQ(run.exit_status, 0) << c.input;
    EXPECT_EQ(run.err, "stacks_interactive: " + c.err) << c.input;
    EXPECT_EQ(mask_time(run.out), clean) << c.input;
  }
}

TEST(InteractiveProgram, WhiteSpaceOnlySeparates) {
  std::string const clean = mask_time(run_interactive(kAdvisedGame).out);
  // Blank lines, tabs, several stacks on a line, no line end at all, and stacks left over.
  for (std::string input :
       {"   \n\n1\t2\n 1 2 3 1 2 1\n", "1 2 1 2 3 1 2 1", "1 2 1 2 3 1 2 1 7 junk\n"}) {
    ProgramRun const run = run_interactive(input);
    EXPECT_EQ(run.exit_status, 0) << input;
    EXPECT_EQ(run.err, "") << input;
    EXPECT_EQ(mask_time(run.out), clean) << input;
  }
}

TEST(InteractiveProgram, InputThatEndsEarlyEndsTheGameWithStatusOne) {
  std::string const clean = mask_time(run_interactive(kAdvisedGame).out);
  for (std::string input : {"", "1 2\n", "1 2 abc"}) {
    ProgramRun const run = run_interactive(input);
    EXPECT_EQ(run.exit_status, 1) << input;
    EXPECT_TRUE(run.err.ends_with("stacks_interactive: input ended before the game was over\n"))
        << run.err;
    std::string const out = mask_time(run.out);
    EXPECT_TRUE(clean.starts_with(out)) << input;
    EXPECT_EQ(drawings_after(out, "You should try:").size(), costs(out).size() + 1) << input;
  }
}

}  // namespace
