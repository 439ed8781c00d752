#include "model/state.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace {

std::string drawing(State const& board) {
  std::ostringstream out;
  board.print(out);
  return out.str();
}

TEST(StateConstruction, DerivesCountsFromTheCells) {
  State board({{1, 2, 0}, {0, 0, 0}, {2, 1, 1}}, kNoRequest);
  EXPECT_EQ(board.n_stacks, 3);
  EXPECT_EQ(board.max_height, 3);
  EXPECT_EQ(board.levels, (std::vector<int>{2, 0, 3}));
  EXPECT_EQ(board.remaining, 3);
  EXPECT_EQ(board.request, kNoRequest);
}

TEST(StateConstruction, CountingStopsAtTheFirstEmptySlot) {
  State board({{1, 0, 1}}, kNoRequest);
  EXPECT_EQ(board.levels, std::vector<int>{1});
  EXPECT_EQ(board.remaining, 1);
}

TEST(StateConstruction, EmptyListAndUnequalStacks) {
  State none({}, kNoRequest);
  EXPECT_EQ(none.n_stacks, 0);
  EXPECT_EQ(none.max_height, 0);
  EXPECT_THROW(State({{1, 0}, {1}}, kNoRequest), std::invalid_argument);
}

TEST(StateConstruction, DefaultIsAPlaceholderWithRequestZeroZero) {
  State placeholder;
  EXPECT_TRUE(placeholder.stacks.empty());
  EXPECT_EQ(placeholder.request, (std::pair<int, int>{0, 0}));
}

TEST(StateAddPop, FullStackRefusesAndChangesNothing) {
  State board({{1, 2}, {0, 0}}, kNoRequest);
  State const before = board;
  EXPECT_FALSE(board.add(0, 2));
  EXPECT_EQ(board, before);
  EXPECT_EQ(board.levels, before.levels);
  EXPECT_EQ(board.remaining, before.remaining);
}

TEST(StateAddPop, RemainingMovesByOneWhateverTheItem) {
  State board({{1, 2, 0}, {0, 0, 0}}, kNoRequest);
  ASSERT_EQ(board.remaining, 1);
  EXPECT_TRUE(board.add(1, 2));
  EXPECT_EQ(board.remaining, 2);
  EXPECT_EQ(board.levels[1], 1);
  EXPECT_EQ(board.stacks[1][0], 2);
  board.pop(1);
  EXPECT_EQ(board.remaining, 1);

  // A relocation: pop from one stack and add the same item to another.
  board.pop(0);
  board.add(1, 2);
  EXPECT_EQ(board.remaining, 1);
  EXPECT_EQ(board.stacks[0], (std::vector<int>{1, 0, 0}));

  // A retrieval: the target leaves and nothing is added.
  board.pop(0);
  EXPECT_EQ(board.remaining, 0);
  EXPECT_EQ(board.levels, (std::vector<int>{0, 1}));
}

TEST(StateAddPop, PopOnEmptyStackDoesNothing) {
  State board({{0, 0}, {1, 0}}, kNoRequest);
  State const before = board;
  board.pop(0);
  EXPECT_EQ(board, before);
  EXPECT_EQ(board.levels, before.levels);
  EXPECT_EQ(board.remaining, before.remaining);
}

TEST(StateEquality, IgnoresLevelsAndRemaining) {
  State a({{1, 2}, {0, 0}}, kNoRequest);
  State b = a;
  b.levels = {0, 2};
  b.remaining = 7;
  EXPECT_EQ(a, b);
}

TEST(StateEquality, SeesRequestDimensionsAndEveryCell) {
  State a({{1, 2}, {0, 0}}, {-1, -1});
  State b({{1, 2}, {0, 0}}, {-1, 5});
  EXPECT_FALSE(a == b);
  EXPECT_EQ(State::HashFunction{}(a), State::HashFunction{}(b));

  State c({{1, 2}, {0, 0}}, {0, 0});
  State d({{1, 2}, {0, 0}}, {0, 1});
  EXPECT_FALSE(c == d);

  // A cell above a gap does not count anywhere but in equality.
  State e({{1, 0, 2}}, kNoRequest);
  State f({{1, 0, 0}}, kNoRequest);
  EXPECT_FALSE(e == f);
  EXPECT_EQ(State::HashFunction{}(e), State::HashFunction{}(f));

  State g({{1, 2, 0}, {0, 0, 0}}, kNoRequest);
  EXPECT_FALSE(a == g);
}

TEST(StateHash, WorkedExample) {
  std::vector<std::vector<int>> const stacks = {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}};
  State::HashFunction const hash;
  EXPECT_EQ(hash(State(stacks, {-1, -1})), 0xa16fb58d055ull);
  EXPECT_EQ(hash(State(stacks, {-1, 5})), 0xa16fb58d055ull);
  EXPECT_EQ(hash(State(stacks, {1, 0})), 0xa16fb58d0f3ull);
  EXPECT_EQ(hash(State(stacks, {0, 0})), 0xa16fb58d056ull);
  EXPECT_EQ(hash(State(stacks, {2, -3})), 0xa16fb58d18dull);
}

TEST(StateHash, ZeroHeightAndNoStacks) {
  State::HashFunction const hash;
  EXPECT_EQ(hash(State({{}}, kNoRequest)), 0x9e3779b9ull);
  EXPECT_EQ(hash(State({}, kNoRequest)), ~0ull);
}

TEST(StateSort, CanonicalOrderAndFreshLevels) {
  State board({{2, 0, 0}, {1, 2, 0}, {0, 0, 0}, {1, 1, 0}}, kNoRequest);
  board.sort_stacks();
  EXPECT_EQ(board.stacks,
            (std::vector<std::vector<int>>{{0, 0, 0}, {1, 1, 0}, {1, 2, 0}, {2, 0, 0}}));
  EXPECT_EQ(board.levels, (std::vector<int>{0, 2, 2, 1}));
}

TEST(StateSort, PendingRequestKeepsTheOrder) {
  State board({{2, 0, 0}, {1, 2, 0}}, {1, 0});
  State const before = board;
  board.sort_stacks();
  EXPECT_EQ(board.stacks, before.stacks);
  EXPECT_EQ(board.levels, before.levels);
}

TEST(StateSort, StackOrderDoesNotMatterAfterSorting) {
  State a({{1, 2, 1}, {2, 0, 0}, {0, 0, 0}}, kNoRequest);
  State b({{0, 0, 0}, {2, 0, 0}, {1, 2, 1}}, kNoRequest);
  a.sort_stacks();
  b.sort_stacks();
  EXPECT_EQ(a, b);
  EXPECT_EQ(State::HashFunction{}(a), State::HashFunction{}(b));
}

TEST(StateCopy, RecountsRemainingAndLevels) {
  State board({{1, 1, 0}, {2, 0, 0}}, {0, 1});
  board.remaining = 9;
  board.levels = {3, 3};
  State fresh = board.copy();
  EXPECT_EQ(fresh.remaining, 2);
  EXPECT_EQ(fresh.levels, (std::vector<int>{2, 1}));
  EXPECT_EQ(fresh.request, (std::pair<int, int>{0, 1}));
}

TEST(StatePrint, DrawsTopRowFirstBetweenRulers) {
  State board({{0, 0, 0}, {1, 2, 0}, {2, 0, 0}}, kNoRequest);
  EXPECT_EQ(drawing(board), "-----\n|   |\n| x |\n| ox|\n-----\n");
}

TEST(StatePrint, HighlightsTheRequestedCell) {
  State board({{0, 0, 0}, {1, 2, 0}, {2, 0, 0}}, {1, 0});
  EXPECT_EQ(drawing(board), "-----\n|   |\n| x |\n| \033[6;30;42mo\033[0mx|\n-----\n");
}

TEST(StatePrint, ZeroHeightDrawsOnlyRulers) {
  State board({{}, {}, {}}, kNoRequest);
  EXPECT_EQ(drawing(board), "-----\n-----\n");
}

TEST(StatePrint, AnyOtherValueIsDrawnAsAnOtherItem) {
  State board({{7, -1}}, kNoRequest);
  EXPECT_EQ(drawing(board), "---\n|x|\n|x|\n---\n");
}

}  // namespace
