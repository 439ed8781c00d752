// The compact form: what it accepts, and a clear verdict with a position for what it refuses.
#include "board_io/compact_form.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/test_boards.h"

namespace {

BoardError error_of(std::string_view text) {
  ParsedBoard parsed = parse_compact_board(text);
  EXPECT_TRUE(std::holds_alternative<BoardError>(parsed)) << "accepted: " << text;
  auto* error = std::get_if<BoardError>(&parsed);
  return error ? *error : BoardError{};
}

State board_of(std::string_view text) {
  ParsedBoard parsed = parse_compact_board(text);
  if (auto* error = std::get_if<BoardError>(&parsed)) {
    ADD_FAILURE() << "refused " << text << ": " << error->to_string();
    return State();
  }
  return std::get<State>(parsed);
}

TEST(CompactForm, ReadsStacksBottomSlotFirstInTheOrderWritten) {
  State const board = board_of("  1220/0000/2100\t\n");
  EXPECT_EQ(board, State({{1, 2, 2, 0}, {0, 0, 0, 0}, {2, 1, 0, 0}}, kNoRequest));
  EXPECT_EQ(board.remaining, 2);
  EXPECT_EQ(board.levels, (std::vector<int>{3, 0, 2}));
}

TEST(CompactForm, NamesTheColumnOfAnUnknownCharacter) {
  BoardError const letter = error_of(" 12/0a");
  EXPECT_EQ(letter.column, 6);
  EXPECT_NE(letter.what.find("'a'"), std::string::npos) << letter.what;
  EXPECT_EQ(error_of("12/3 0").column, 4);
  EXPECT_EQ(error_of("12 /00").column, 3) << "blanks inside the text are not ignored";
  EXPECT_NE(error_of("1\0332").what.find("0x1B"), std::string::npos);
}

TEST(CompactForm, RefusesStacksOfUnequalHeight) {
  BoardError const error = error_of("120/12/000");
  EXPECT_EQ(error.stack, 1);
  EXPECT_EQ(error.column, 5);
  EXPECT_EQ(error.to_string(),
            "column 5, stack 1: 2 slots, but stack 0 has 3 (every stack needs the same capacity)");
  EXPECT_EQ(error_of("12/00/").stack, 2) << "a trailing '/' makes an empty stack";
  EXPECT_EQ(error_of("12//00").stack, 1);
}

TEST(CompactForm, RefusesAGapAndNamesTheEmptySlot) {
  BoardError const error = error_of("100/201");
  EXPECT_EQ(error.stack, 1);
  EXPECT_EQ(error.column, 6);
  EXPECT_NE(error.what.find("empty slot 1 below an item"), std::string::npos) << error.what;
}

TEST(CompactForm, RefusesNoStacksAndNoCapacity) {
  EXPECT_NE(error_of("").what.find("no stacks"), std::string::npos);
  EXPECT_NE(error_of(" \t\r\n").what.find("no stacks"), std::string::npos);
  EXPECT_NE(error_of("/").what.find("no capacity"), std::string::npos);
  EXPECT_NE(error_of("//").what.find("no capacity"), std::string::npos);
}

TEST(CompactForm, RefusesBoardsTooBigToPackAndSaysTheLimit) {
  std::string thirty_two_stacks = "1";
  for (int i = 1; i < 32; ++i)
    thirty_two_stacks += "/1";
  EXPECT_NE(error_of(thirty_two_stacks).what.find("at most 31 stacks"), std::string::npos);
  // 8 stacks of 12 slots take 104 bits and pack; 8 stacks of 13 do not.
  std::string const twelve(12, '1'), thirteen(13, '1');
  std::string fits = twelve, too_big = thirteen;
  for (int i = 1; i < 8; ++i) {
    fits += "/" + twelve;
    too_big += "/" + thirteen;
  }
  board_of(fits);
  EXPECT_NE(error_of(too_big).what.find("stacks x (slots + 1) at most 104"), std::string::npos);
  EXPECT_NE(error_of(std::string(kMaxCompactLength + 1, '1')).what.find("characters long"),
            std::string::npos);
}

TEST(CompactForm, FormatAndParseRoundTrip) {
  EXPECT_EQ(format_compact_board(board_of("12221000/12120000/11100000")),
            "12221000/12120000/11100000");
  std::mt19937 rng(7);
  for (int trial = 0; trial < 300; ++trial) {
    State const board = random_board(rng, 1 + trial % 9, 1 + trial % 7, 0.6);
    EXPECT_EQ(board_of(format_compact_board(board)), board) << format_compact_board(board);
  }
}

}  // namespace
