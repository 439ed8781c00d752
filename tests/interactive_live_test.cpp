// stacks_interactive with its input kept open: what it shows must be there before it waits.
// Through pipes its output is block-buffered, so only an explicit flush gets the advice out; on
// a terminal the person types, and sees the messages, between the turns.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/interactive_output.h"
#include "tests/support/live_program.h"
#include "tests/support/run_program.h"

namespace {

using namespace std::chrono_literals;

// Long enough for the solve in the sanitizer build on a busy machine.
constexpr auto kPatience = 120s;

// Whether the output holds the whole advice drawing of the given turn (counted from 1).
auto advice_drawn(int turn) {
  return [turn](std::string const& out) {
    auto const advice = drawings_after(out, "You should try:");
    return static_cast<int>(advice.size()) >= turn &&
           advice[static_cast<std::size_t>(turn - 1)].size() == 9;
  };
}

TEST(InteractiveLive, ThroughPipesEachAdviceArrivesBeforeTheProgramWaits) {
  LiveProgram program(STACKS_INTERACTIVE, LiveProgram::Wiring::kPipes);
  ASSERT_TRUE(program.wait_for(advice_drawn(1), kPatience)) << program.output();
  EXPECT_TRUE(program.running());
  EXPECT_EQ(occurrences(program.output(), "Current state:"), 0);

  program.send("1\n");
  ASSERT_TRUE(program.wait_for(advice_drawn(2), kPatience)) << program.output();
  EXPECT_EQ(costs(program.output()), std::vector<int>{19});
  EXPECT_TRUE(program.running());

  program.send(std::string(kAdvisedGame).substr(2));
  EXPECT_EQ(program.wait_exit(kPatience), 0);
  EXPECT_EQ(mask_time(program.output()), read_file(GOLDEN_DIR "/stacks_interactive.txt"));
}

TEST(InteractiveLive, OnATerminalMessagesComeBetweenTurnsAndTheTurnWaits) {
  LiveProgram program(STACKS_INTERACTIVE, LiveProgram::Wiring::kPseudoTerminal);
  ASSERT_TRUE(program.wait_for(advice_drawn(1), kPatience)) << program.output();
  EXPECT_TRUE(program.running());

  program.send("1\r");  // the Enter key
  ASSERT_TRUE(program.wait_for(advice_drawn(2), kPatience)) << program.output();
  EXPECT_EQ(costs(program.output()), std::vector<int>{19});

  program.send("zz\r");
  ASSERT_TRUE(program.wait_for_text("stacks_interactive: 'zz' is not a stack number", 1, kPatience))
      << program.output();
  // Still the second turn, waiting for a stack.
  EXPECT_TRUE(program.wait_for_text("(those holding a target)\r\n", 1, 1s));
  EXPECT_TRUE(program.running());
  EXPECT_EQ(occurrences(program.output(), "Current state:"), 1);

  program.send("2 1 2 3 1 2 1\r");
  EXPECT_EQ(program.wait_exit(kPatience), 0) << program.output();
  EXPECT_EQ(costs(program.output()), (std::vector<int>{19, 16, 12, 6, 2, 2, 0, 0}));
}

TEST(InteractiveLive, EndOfFileTypedOnATerminalEndsTheGame) {
  LiveProgram program(STACKS_INTERACTIVE, LiveProgram::Wiring::kPseudoTerminal);
  ASSERT_TRUE(program.wait_for(advice_drawn(1), kPatience)) << program.output();
  program.end_input();
  EXPECT_EQ(program.wait_exit(kPatience), 1);
  EXPECT_EQ(occurrences(program.output(), "input ended before the game was over"), 1);
}

}  // namespace
