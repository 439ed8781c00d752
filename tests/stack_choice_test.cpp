#include "advisor/stack_choice.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

namespace {

std::vector<std::string> all_tokens(std::string const& input) {
  std::istringstream in(input);
  std::vector<std::string> tokens;
  while (auto token = read_token(in))
    tokens.push_back(token->text);
  return tokens;
}

TEST(ReadToken, SplitsOnBlanksTabsAndLineEndsOnly) {
  using V = std::vector<std::string>;
  EXPECT_EQ(all_tokens("1 2\t3\n4\r\n 5"), (V{"1", "2", "3", "4", "5"}));
  EXPECT_EQ(all_tokens("  \n\t \n"), V{});
  EXPECT_EQ(all_tokens(""), V{});
  EXPECT_EQ(all_tokens("3x 2.5,1 -+2"), (V{"3x", "2.5,1", "-+2"}));
}

TEST(ReadToken, KeepsOnlyTheHeadOfARunawayToken) {
  std::istringstream in(std::string(10000, '7') + " 2");
  auto const runaway = read_token(in);
  ASSERT_TRUE(runaway);
  EXPECT_EQ(runaway->text, std::string(kMaxTokenChars, '7'));
  EXPECT_TRUE(runaway->cut);
  auto const next = read_token(in);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->text, "2");
  EXPECT_FALSE(next->cut);
}

TEST(TokenValue, OnlySignedDecimalIntegersThatFitInInt) {
  struct Case {
    char const* text;
    bool is_integer;
    std::optional<int> value;
  };
  for (Case const& c : std::vector<Case>{
           {"3", true, 3},
           {"+3", true, 3},
           {"-3", true, -3},
           {"007", true, 7},
           {"-0", true, 0},
           {"2147483647", true, INT_MAX},
           {"2147483648", true, std::nullopt},
           {"-99999999999", true, std::nullopt},
           {"3x", false, std::nullopt},
           {"x", false, std::nullopt},
           {"2.5", false, std::nullopt},
           {"0x3", false, std::nullopt},
           {"+", false, std::nullopt},
           {"-+2", false, std::nullopt},
           {"1e3", false, std::nullopt},
       }) {
    TokenValue const v = token_value(Token{c.text, false});
    EXPECT_EQ(v.is_integer, c.is_integer) << c.text;
    EXPECT_EQ(v.value, c.value) << c.text;
  }
  // The dropped part of a cut token is unknown: never a value.
  EXPECT_EQ(token_value(Token{"1", true}).value, std::nullopt);
}

TEST(ShownToken, EscapesWhatATerminalWouldAct) {
  EXPECT_EQ(shown_token(Token{"abc", false}), "'abc'");
  EXPECT_EQ(shown_token(Token{"\033[2J\x7f\xc3\xa9", false}), "'\\x1B[2J\\x7F\\xC3\\xA9'");
  EXPECT_EQ(shown_token(Token{"12", true}), "'12...'");
}

// Stacks, bottom first: an empty one, two targets under an item, items only.
State sample_board() {
  return State({{0, 0, 0}, {2, 1, 1}, {2, 2, 0}}, kNoRequest);
}

TEST(LowestTarget, WalksFromTheBottomAndStaysOnTheBoard) {
  State board = sample_board();
  EXPECT_EQ(lowest_target(board, 1), 1);
  EXPECT_EQ(lowest_target(board, 0), std::nullopt);
  EXPECT_EQ(lowest_target(board, 2), std::nullopt);
  for (int outside : {-1, 3, INT_MAX, INT_MIN})
    EXPECT_EQ(lowest_target(board, outside), std::nullopt) << outside;
  EXPECT_EQ(stacks_holding_target(board), std::vector<int>{1});
  // Levels that claim more slots than the stack has must not lead the walk off its cells.
  board.levels[2] = 50;
  EXPECT_EQ(lowest_target(board, 2), std::nullopt);
}

TEST(JudgeStackChoice, NamesWhatIsWrong) {
  State const board = sample_board();
  auto judge = [&](std::string text, bool cut = false) {
    return judge_stack_choice(Token{std::move(text), cut}, board);
  };
  EXPECT_EQ(judge("1").stack, 1);
  EXPECT_EQ(judge("+1").problem, "");
  EXPECT_EQ(judge("abc").problem, "'abc' is not a stack number");
  EXPECT_EQ(judge("-1").problem, "there is no stack -1 (the stacks are numbered 0 to 2)");
  EXPECT_EQ(judge("3").problem, "there is no stack 3 (the stacks are numbered 0 to 2)");
  EXPECT_EQ(judge("99999999999").problem,
            "there is no stack 99999999999 (the stacks are numbered 0 to 2)");
  EXPECT_EQ(judge("0").problem, "stack 0 holds no target");
  EXPECT_EQ(judge("2").stack, -1);
  EXPECT_EQ(judge("0001", true).problem, "'0001...' is too long to be a stack number");
}

}  // namespace
