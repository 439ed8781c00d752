// The turn loop on small boards, through string streams.
#include "advisor/play_game.h"

#include <gtest/gtest.h>

#include <sstream>

#include "advisor/exact_advisor.h"

namespace {

struct Game {
  int status = -1;
  std::string out;
  std::string err;
};

Game play(State const& board, std::istream& in, Advisor& advisor) {
  std::ostringstream out, err;
  Game game;
  game.status = play_game(board, advisor, in, out, err, "prog");
  game.out = out.str();
  game.err = err.str();
  return game;
}

Game play(State const& board, std::string const& input, Advisor& advisor) {
  std::istringstream in(input);
  return play(board, in, advisor);
}

Game play(State const& board, std::string const& input) {
  ExactAdvisor advisor;
  return play(board, input, advisor);
}

int count(std::string const& text, std::string const& piece) {
  int n = 0;
  for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
    ++n;
  return n;
}

std::string drawing(State const& board) {
  std::ostringstream out;
  board.print(out);
  return out.str();
}

// Both targets in stack 0, the lower one under the upper. Naming 0 lifts the upper target onto
// the other item, and the stacks change places: the second turn names stack 1.
State two_turn_board() {
  State board({{2, 0, 0}, {1, 1, 0}}, kNoRequest);
  board.sort_stacks();
  return board;
}

TEST(PlayGame, BadTokensCostNoTurnAndLeaveTheOutputAlone) {
  Game const clean = play(two_turn_board(), "0 1");
  ASSERT_EQ(clean.status, kGameOver);
  EXPECT_EQ(clean.err, "");
  EXPECT_EQ(count(clean.out, "Cost : "), 2);

  Game const bad = play(two_turn_board(), "x 5 -1\n   \n\t1 0\n0 99999999999 +1\n");
  EXPECT_EQ(bad.status, kGameOver);
  EXPECT_EQ(bad.out, clean.out);
  std::string const first = "; name stack 0 (the only one holding a target)\n";
  std::string const second = "; name stack 1 (the only one holding a target)\n";
  std::string const numbering = " (the stacks are numbered 0 to 1)";
  EXPECT_EQ(bad.err, "prog: 'x' is not a stack number" + first + "prog: there is no stack 5" +
                         numbering + first + "prog: there is no stack -1" + numbering + first +
                         "prog: stack 1 holds no target" + first + "prog: stack 0 holds no target" +
                         second + "prog: there is no stack 99999999999" + numbering + second);
}

TEST(PlayGame, EndOfInputEndsTheGameWithStatusOne) {
  std::string const clean = play(two_turn_board(), "0 1").out;
  for (std::string input : {"", "  \n", "0", "0 zz\n"}) {
    Game const cut = play(two_turn_board(), input);
    EXPECT_EQ(cut.status, kInputEnded) << input;
    EXPECT_TRUE(cut.err.ends_with("prog: input ended before the game was over\n")) << cut.err;
    // Everything up to the advice of the turn that was waiting for its stack, and no more.
    EXPECT_TRUE(clean.starts_with(cut.out)) << input;
    EXPECT_TRUE(clean.substr(cut.out.size()).starts_with("Current state:\n")) << input;
  }
}

TEST(PlayGame, ReadsNothingAfterTheLastTarget) {
  std::istringstream in("0 1 junk");
  ExactAdvisor advisor;
  Game const game = play(two_turn_board(), in, advisor);
  EXPECT_EQ(game.status, kGameOver);
  std::string rest;
  in >> rest;
  EXPECT_EQ(rest, "junk");
}

TEST(PlayGame, ARequestWhoseItemsFitNowhereEndsTheGame) {
  // The target's other item has no room: the other stack is full.
  State board({{1, 2}, {2, 2}}, kNoRequest);
  board.sort_stacks();
  State asked = board;
  asked.request = {0, 0};
  std::istringstream in("0 0");
  ExactAdvisor advisor;
  Game const game = play(board, in, advisor);
  EXPECT_EQ(game.status, kGameOver);
  EXPECT_EQ(game.err, "");
  EXPECT_EQ(game.out, "We ask :\n" + drawing(board) + "You should try:\n" + drawing(asked) +
                          "Current state:\n" + drawing(asked) + "Cost : no placement\n");
  std::string rest;
  in >> rest;
  EXPECT_EQ(rest, "0");
}

// Records whether everything written to it had been flushed each time the input is read.
class FlushWatch : public std::stringbuf {
 public:
  bool all_flushed() const { return str().size() == flushed_; }

 protected:
  int sync() override {
    flushed_ = str().size();
    return 0;
  }

 private:
  std::size_t flushed_ = 0;
};

class LineByLine : public std::streambuf {
 public:
  LineByLine(std::vector<std::string> lines, FlushWatch const& out)
      : lines_(std::move(lines)), out_(out) {}
  std::vector<bool> flushed_at_read;

 protected:
  int_type underflow() override {
    if (next_ == lines_.size()) return traits_type::eof();
    flushed_at_read.push_back(out_.all_flushed());
    current_ = lines_[next_++];
    setg(current_.data(), current_.data(), current_.data() + current_.size());
    return traits_type::to_int_type(current_.front());
  }

 private:
  std::vector<std::string> lines_;
  std::string current_;
  std::size_t next_ = 0;
  FlushWatch const& out_;
};

TEST(PlayGame, OutputIsFlushedBeforeEveryRead) {
  FlushWatch out_buffer;
  LineByLine in_buffer({"0\n", "1\n"}, out_buffer);
  std::ostream out(&out_buffer);
  std::istream in(&in_buffer);
  std::ostringstream err;
  ExactAdvisor advisor;
  EXPECT_EQ(play_game(two_turn_board(), advisor, in, out, err, "prog"), kGameOver);
  EXPECT_EQ(in_buffer.flushed_at_read, (std::vector<bool>{true, true}));
}

// The exact advisor, with one of its boards replaced by a wrong one.
class FaultyAdvisor : public ExactAdvisor {
 public:
  bool bad_advice = false;
  State advice(State const& board) override {
    return bad_advice ? State({{1}}, kNoRequest) : ExactAdvisor::advice(board);
  }
  std::optional<State> answer(State const& asked) override {
    State kept = asked;  // the request withdrawn, the target still there
    kept.request = kNoRequest;
    return kept;
  }
};

TEST(PlayGame, BoardsFromTheAdvisorAreCheckedBeforeUse) {
  FaultyAdvisor advisor;
  Game const kept = play(two_turn_board(), "0 1", advisor);
  EXPECT_EQ(kept.status, kInternalError);
  EXPECT_EQ(kept.err,
            "prog: internal error: the answer to the request does not take exactly its target "
            "away\n");
  EXPECT_TRUE(kept.out.ends_with("Cost : 1\n")) << kept.out;

  advisor.bad_advice = true;
  Game const alien = play(two_turn_board(), "0 1", advisor);
  EXPECT_EQ(alien.status, kInternalError);
  EXPECT_EQ(alien.err, "prog: internal error: the advice is not a board of this game\n");
  EXPECT_EQ(alien.out.find("You should try:"), std::string::npos);
}

}  // namespace
