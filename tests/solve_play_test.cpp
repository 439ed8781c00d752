// stacks_solve --play: the game of stacks_interactive on a board the user gives.
#include <gtest/gtest.h>

#include <numeric>

#include "tests/support/interactive_output.h"
#include "tests/support/run_program.h"

namespace {

ProgramRun play(std::string const& board, std::string const& moves) {
  return run_program({STACKS_SOLVE, "--board", board, "--play"}, moves);
}

// What the last advice of the output says to type, from "You should try: ... (type T)".
std::string last_advice(std::string const& output) {
  std::size_t const at = output.rfind("(type ");
  if (at == std::string::npos) return "";
  return output.substr(at + 6, output.find(')', at) - at - 6);
}

// The figures of every "Moves (N):" line, and of the "Total moves: " line (-1 without one).
std::pair<std::vector<int>, int> moves_made(std::string const& output) {
  std::vector<int> turns;
  int total = -1;
  for (std::string const& line : lines_of(output)) {
    if (line.rfind("Moves (", 0) == 0) turns.push_back(std::stoi(line.substr(7)));
    if (line.rfind("Total moves: ", 0) == 0) total = std::stoi(line.substr(13));
  }
  return {turns, total};
}

// A person who always types what the advice says, even for a target that is not the lowest
// of its stack, loses no move: the game costs exactly the value, and the total is the sum of
// the turns. The yard of the first case advises slot 1 of stack 0 at once.
TEST(SolvePlay, FollowingTheAdviceCostsTheValueAndTheTotalIsTheSumOfTheTurns) {
  struct Case {
    std::string board;
    int value;
    std::string first_advice;
  };
  for (Case const& c : {Case{"11100/11220/21200", 11, "0:1"},
                        Case{"1222000/1121000/1122000/1221000", 19, "1"}}) {
    std::string moves;
    ProgramRun run = play(c.board, moves);
    EXPECT_EQ(last_advice(run.out), c.first_advice) << c.board;
    // The program ends a run at each end of the input: the advice is read off it and typed.
    for (int turn = 0; run.exit_status == 2 && turn < 20; ++turn) {
      moves += last_advice(run.out) + "\n";
      run = play(c.board, moves);
    }
    ASSERT_EQ(run.exit_status, 0) << c.board << "\n" << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(costs(run.out).front(), c.value) << c.board;
    auto const [turns, total] = moves_made(run.out);
    EXPECT_EQ(turns.size(), costs(run.out).size());
    EXPECT_EQ(total, c.value) << c.board;
    EXPECT_EQ(std::accumulate(turns.begin(), turns.end(), 0), total);
  }
}

TEST(SolvePlay, StacksKeepTheirColumnsAndEachDrawingHasItsColumnNumbers) {
  ProgramRun const run = play("11100/11220/21200", "0\n");
  // Asking for slot 0 of stack 0 moves two targets to stack 2; no stack changes place.
  EXPECT_NE(run.out.find("Current state: stack 0, slot 0\n-----\n|   |\n| x |\n|oxx|\n|ooo|\n"
                         "|*ox|\n-----\n 012\nCost : 10\nMoves (2): 0->2 (o), 0->2 (o)\n"
                         "We ask :\n-----\n|  o|\n| xo|\n| xx|\n| oo|\n| ox|\n-----\n 012\n"),
            std::string::npos)
      << run.out;
}

TEST(SolvePlay, APromptAsksForTheRequestOnATerminalOnly) {
  std::string const prompt = "Your request (S for the lowest target of stack S, S:K for slot K): ";
  ProgramRun const piped = play("12/00", "0\n");
  EXPECT_EQ(piped.err.find(prompt), std::string::npos) << piped.err;
  // script(1) gives the game a terminal, on which standard error shows among the output.
  ProgramRun const terminal = run_program(
      {"/usr/bin/script", "-qec", std::string(STACKS_SOLVE) + " --board 12/00 --play", "/dev/null"},
      "0\n");
  EXPECT_EQ(terminal.exit_status, 0);
  EXPECT_NE(terminal.out.find(prompt), std::string::npos) << terminal.out;
  EXPECT_NE(terminal.out.find("Total moves: 1"), std::string::npos) << terminal.out;
}

TEST(SolvePlay, AnyTargetCanBeAskedForAndBadTokensAreAskedAgain) {
  ProgramRun const run = play("11100/11220/21200", "0:5 a:1 9:0 0:x 1:2 3 0:1 ");
  EXPECT_EQ(run.exit_status, 2);
  std::vector<std::string> const errors = lines_of(run.err);
  std::vector<std::string> const expected = {
      "stacks_solve: stack 0 holds no target in slot 5",
      "stacks_solve: 'a:1' is not a stack and slot (S:K, two numbers)",
      "stacks_solve: there is no stack 9 (the stacks are numbered 0 to 2)",
      "stacks_solve: '0:x' is not a stack and slot (S:K, two numbers)",
      "stacks_solve: stack 1 holds no target in slot 2",
      "stacks_solve: there is no stack 3 (the stacks are numbered 0 to 2)",
  };
  ASSERT_EQ(errors.size(), expected.size() + 1) << run.err;
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(errors[i].rfind(expected[i] + "; type a stack holding a target (0, 1, 2)", 0), 0u)
        << errors[i];
  EXPECT_NE(run.out.find("Current state: stack 0, slot 1\n"), std::string::npos);
  EXPECT_EQ(costs(run.out), std::vector<int>{11});
}

TEST(SolvePlay, ARequestThatCannotBeServedEndsTheGame) {
  ProgramRun const run = play("1212/1220", "0\n1\n");
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(lines_of(run.out).at(1),
            "Minimum moves: none - the items lifted for some request "
            "fit nowhere");
  EXPECT_TRUE(run.out.ends_with("Cost : no placement\nTotal moves: 0\n")) << run.out;
}

TEST(SolvePlay, BadMovesAreAskedAgainAndTheEndOfInputIsStatus2) {
  ProgramRun const run = play("12/00", "x\n5\n");
  EXPECT_EQ(run.exit_status, 2);
  auto const errors = lines_of(run.err);
  ASSERT_EQ(errors.size(), 3u) << run.err;
  EXPECT_EQ(errors[0].rfind("stacks_solve: 'x' is not a stack number", 0), 0u) << errors[0];
  EXPECT_EQ(errors[2], "stacks_solve: input ended before the game was over");
  EXPECT_EQ(costs(run.out), std::vector<int>{});

  // The yard keeps the columns as given: the target is in stack 0.
  ProgramRun const done = play("12/00", "x\n0\n");
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
