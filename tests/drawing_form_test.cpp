// The drawing form: every drawing the programs make reads back as its board, and each thing
// that copying or editing a drawing can do to it gets a clear verdict.
#include "board_io/drawing_form.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "board_io/compact_form.h"
#include "tests/support/run_program.h"
#include "tests/support/test_boards.h"

namespace {

std::string drawing_of(State const& board) {
  std::ostringstream out;
  board.print(out);
  return out.str();
}

BoardError error_of(std::string_view text) {
  ParsedBoard parsed = parse_drawing(text);
  EXPECT_TRUE(std::holds_alternative<BoardError>(parsed)) << "accepted:\n" << text;
  auto* error = std::get_if<BoardError>(&parsed);
  return error ? *error : BoardError{};
}

std::string compact_of(std::string_view text) {
  ParsedBoard parsed = parse_drawing(text);
  if (auto* error = std::get_if<BoardError>(&parsed)) return "error: " + error->to_string();
  return format_compact_board(std::get<State>(parsed));
}

TEST(DrawingForm, EveryRandomBoardReadsBackFromItsDrawing) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 300; ++trial) {
    State board = random_board(rng, 1 + trial % 8, 1 + trial % 9, 0.6);
    ParsedBoard plain = parse_drawing(drawing_of(board));
    ASSERT_TRUE(std::holds_alternative<State>(plain)) << drawing_of(board);
    EXPECT_EQ(std::get<State>(plain), board);
    // The same board with a request: the highlight is read past, the request is not kept.
    for (int s = 0; s < board.n_stacks; ++s) {
      if (board.levels[s] == 0) continue;
      State asked = board;
      asked.request = {s, board.levels[s] - 1};
      ParsedBoard highlighted = parse_drawing(drawing_of(asked));
      ASSERT_TRUE(std::holds_alternative<State>(highlighted)) << drawing_of(asked);
      EXPECT_EQ(std::get<State>(highlighted), board);
      break;
    }
  }
}

std::string without_highlight(std::string text) {
  for (std::string code : {"\033[6;30;42m", "\033[0m"}) {
    for (auto at = text.find(code); at != std::string::npos; at = text.find(code))
      text.erase(at, code.size());
  }
  return text;
}

TEST(DrawingForm, EveryDrawingOfTheBatchProgramReadsBack) {
  std::istringstream golden(read_file(GOLDEN_DIR "/stacks_batch.txt"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(golden, line);)
    lines.push_back(line + "\n");
  int drawings = 0, highlighted = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i][0] != '-') continue;
    std::string drawing = lines[i];
    for (++i; lines[i][0] != '-'; ++i)
      drawing += lines[i];
    drawing += lines[i];
    ParsedBoard parsed = parse_drawing(drawing);
    ASSERT_TRUE(std::holds_alternative<State>(parsed)) << drawing;
    EXPECT_EQ(drawing_of(std::get<State>(parsed)), without_highlight(drawing));
    ++drawings;
    highlighted += drawing.find('\033') != std::string::npos;
  }
  EXPECT_EQ(drawings, 21);
  EXPECT_EQ(highlighted, 10);
}

TEST(DrawingForm, LineEndsBlanksRulersAndDotsAreAccepted) {
  EXPECT_EQ(compact_of("|o |\n|ox|\n"), "11/20");
  EXPECT_EQ(compact_of("|o |\n|ox|"), "11/20") << "no line end after the last row";
  EXPECT_EQ(compact_of("-----\r\n|o.|\r\n|ox|\r\n-----\r\n"), "11/20");
  EXPECT_EQ(compact_of("\n  \t\n  |o.|  \t\n\t|ox|\n\n-\n\n"), "11/20");
  EXPECT_EQ(compact_of("|.|\n|.|\n"), "00");
  // What stacks_solve writes without colour: the request as '*', the column numbers below.
  EXPECT_EQ(compact_of("----\n|o |\n|*x|\n----\n 01\n"), "11/20");
  EXPECT_EQ(compact_of("-------------\n|ooooooooooo|\n-------------\n          1\n 01234567890\n\n"),
            "1/1/1/1/1/1/1/1/1/1/1");
}

TEST(DrawingForm, NamesLineAndColumnOfWhatItRefuses) {
  BoardError const letter = error_of("---\n|o|\n|z|\n");
  EXPECT_EQ(letter.to_string(),
            "line 3, column 2: unknown character 'z' in a row (use 'o' or '*' target, 'x' other, "
            "' ' or '.' empty)");
  BoardError const tab = error_of("|o\t|\n");
  EXPECT_EQ(tab.line, 1);
  EXPECT_EQ(tab.column, 3);
  EXPECT_NE(tab.what.find("tab"), std::string::npos);
  EXPECT_EQ(error_of("|o|x\n").column, 4) << "text after the closing bar";
  EXPECT_NE(error_of("|o \n").what.find("no closing '|'"), std::string::npos);
  EXPECT_EQ(error_of("Minimum moves: 3\n|o|\n").line, 1);
  EXPECT_EQ(error_of(" 0\n|o|\n").line, 1) << "column numbers come under a drawing";
  EXPECT_EQ(error_of("|o|\n 0\n").line, 2) << "and under its closing ruler";
  EXPECT_EQ(error_of("|o\033[2J|\n").column, 3) << "only colour codes are read past";
}

TEST(DrawingForm, RefusesRowsOfUnequalWidthGapsAndSplitDrawings) {
  BoardError const width = error_of("|o |\n|ox|\n|o|\n");
  EXPECT_EQ(width.line, 3);
  EXPECT_NE(width.what.find("row on line 1 is 2"), std::string::npos) << width.what;
  BoardError const gap = error_of("| o|\n|x |\n");
  EXPECT_EQ(gap.line, 2);
  EXPECT_EQ(gap.column, 3);
  EXPECT_EQ(gap.stack, 1);
  EXPECT_EQ(error_of("|o|\n\n|o|\n").line, 2) << "a blank line between rows";
  EXPECT_EQ(error_of("---\n|o|\n---\n---\n|o|\n---\n").line, 4) << "a second drawing";
  EXPECT_EQ(error_of("---\n---\n|o|\n").line, 3) << "two rulers close an empty drawing";
}

TEST(DrawingForm, RefusesNoStacksNoCapacityAndTooBig) {
  EXPECT_NE(error_of("||\n||\n").what.find("no stacks"), std::string::npos);
  EXPECT_NE(error_of("-----\n-----\n").what.find("no capacity"), std::string::npos);
  EXPECT_NE(error_of("---\n").what.find("no capacity"), std::string::npos);
  EXPECT_NE(error_of("").what.find("empty"), std::string::npos);
  EXPECT_NE(error_of("|" + std::string(32, 'o') + "|\n").what.find("at most 31 stacks"),
            std::string::npos);
  EXPECT_NE(error_of(std::string(kMaxDrawingBytes + 1, '\n')).what.find("bytes long"),
            std::string::npos);
}

}  // namespace
