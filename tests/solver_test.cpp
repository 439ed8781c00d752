#include "solver/compute.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "tests/literal_solver.h"
#include "tests/support/test_boards.h"

namespace {

// Each test starts from empty tables, as a fresh process would.
class Solver : public ::testing::Test {
 protected:
  void SetUp() override { clear_tables(); }
};

TEST_F(Solver, NoTargetIsWorthZeroAndIsItsOwnSuccessor) {
  State board = canonical({{2, 2}, {0, 0}});
  EXPECT_EQ(compute(board, 0), 0);
  EXPECT_EQ(best_successor(board), board);
  EXPECT_EQ(best_successor(best_successor(board)), board);
}

TEST_F(Solver, TargetUnderOneItemCostsOne) {
  State board({{1, 2}, {0, 0}}, kNoRequest);
  EXPECT_EQ(compute(board, 0), 1);
}

TEST_F(Solver, TieInTheRequestPhaseGoesToTheLaterTarget) {
  State board({{1, 0}, {1, 0}}, kNoRequest);
  EXPECT_EQ(compute(board, 0), 0);
  State const next = best_successor(board);
  EXPECT_EQ(next, asking(board, 1, 0));
  EXPECT_EQ(next.remaining, 2);
}

TEST_F(Solver, TieInTheRelocationPhaseKeepsTheEarlierPlacement) {
  State board = asking(State({{1, 2}, {2, 0}, {0, 0}}, kNoRequest), 0, 0);
  EXPECT_EQ(compute(board, 0), 1);
  // Sending the item to stack 1 comes first and costs the same as stack 2.
  EXPECT_EQ(best_successor(board), canonical({{2, 2}, {0, 0}, {0, 0}}));
  EXPECT_EQ(best_successor(board).request, kNoRequest);
}

TEST_F(Solver, LiftedItemsThatFitNowhere) {
  State board({{1, 2}, {2, 2}}, kNoRequest);
  State const asked = asking(board, 0, 0);
  EXPECT_EQ(compute(asked, 0), kNoPlacement);
  EXPECT_EQ(best_successor(asked), asked);
  EXPECT_EQ(compute(board, 0), kNoPlacement);
  EXPECT_EQ(best_successor(board), asked);
}

TEST_F(Solver, NoPlacementBelowARelocationDoesNotOverflow) {
  // Asking for the target at slot 2 of stack 0 sends the item above it to stack 1, which fills
  // it; then the bottom target of stack 0 has an item above it that fits nowhere.
  State board({{1, 2, 1, 2}, {1, 2, 2, 0}}, kNoRequest);
  State const asked = asking(board, 0, 2);
  EXPECT_EQ(compute(asked, 0), kNoPlacement);
  EXPECT_EQ(best_successor(asked), asked);
  State const child({{1, 2, 0, 0}, {1, 2, 2, 2}}, kNoRequest);
  ASSERT_NE(memo.find(child), nullptr);
  EXPECT_EQ(*memo.find(child), kNoPlacement);
  EXPECT_EQ(compute(board, 0), kNoPlacement);
}

TEST_F(Solver, TopTargetHasOneChildWorthTheRest) {
  State board = canonical({{1, 2, 1}, {0, 0, 0}, {0, 0, 0}});
  State const asked = asking(board, 2, 2);
  int const cost = compute(asked, 0);
  State const after = best_successor(asked);
  EXPECT_EQ(after, canonical({{1, 2, 0}, {0, 0, 0}, {0, 0, 0}}));
  EXPECT_EQ(after.remaining, 1);
  EXPECT_EQ(cost, compute(after, 0));
  EXPECT_EQ(cost, 1);
}

TEST_F(Solver, SecondComputeChangesNothing) {
  State board = canonical(
      {{1, 2, 2, 2, 0, 0, 0}, {1, 1, 2, 1, 0, 0, 0}, {1, 1, 2, 2, 0, 0, 0}, {1, 2, 2, 1, 0, 0, 0}});
  int const value = compute(board, 0);
  std::size_t const boards = memo.size();
  ASSERT_EQ(memo_strat.size(), boards);
  EXPECT_EQ(compute(board, 0), value);
  EXPECT_EQ(compute(best_successor(board), 0), value);
  EXPECT_EQ(memo.size(), boards);
  EXPECT_EQ(memo_strat.size(), boards);
}

TEST_F(Solver, RejectsBoardsItCannotRepresent) {
  EXPECT_THROW(compute(State({{1, 0, 1}}, kNoRequest), 0), std::invalid_argument);
  EXPECT_THROW(compute(State({{1, 2}}, {0, 1}), 0), std::invalid_argument);
  EXPECT_EQ(memo.size(), 0u);
  EXPECT_THROW(best_successor(State({{1, 0}}, kNoRequest)), std::out_of_range);
}

std::pair<std::size_t, std::size_t> entries_by_phase() {
  std::size_t requests = 0;
  std::size_t relocations = 0;
  for (auto const& [key, value] : memo)
    ++(key.has_request() ? relocations : requests);
  return {requests, relocations};
}

TEST_F(Solver, InteractiveYardTables) {
  State board = canonical(
      {{1, 2, 2, 2, 0, 0, 0}, {1, 1, 2, 1, 0, 0, 0}, {1, 1, 2, 2, 0, 0, 0}, {1, 2, 2, 1, 0, 0, 0}});
  EXPECT_EQ(compute(board, 0), 19);
  EXPECT_EQ(memo.size(), 87644u);
  EXPECT_EQ(memo_strat.size(), 87644u);
  EXPECT_EQ(entries_by_phase(), (std::pair<std::size_t, std::size_t>{16561, 71083}));
}

TEST_F(Solver, BatchYardTables) {
  State board = canonical({{1, 2, 2, 2, 1, 0, 0, 0},
                           {1, 2, 1, 2, 0, 0, 0, 0},
                           {1, 1, 1, 0, 0, 0, 0, 0},
                           {1, 2, 1, 0, 0, 0, 0, 0},
                           {1, 2, 2, 0, 0, 0, 0, 0}});
  EXPECT_EQ(compute(board, 0), 20);
  EXPECT_EQ(memo.size(), 888192u);
  EXPECT_EQ(memo_strat.size(), 888192u);
  EXPECT_EQ(entries_by_phase(), (std::pair<std::size_t, std::size_t>{131742, 756450}));
}

// The packed solver against the solver as written down, table for table: the same keys, the
// same values and the same successors (ties included), on random small boards, feasible or not.
TEST_F(Solver, SameTablesAsTheLiteralSolver) {
  std::mt19937 rng(2024);
  int compared = 0;
  int infeasible = 0;
  for (int trial = 0; trial < 400; ++trial) {
    int const n = 2 + trial % 3;
    int const height = 2 + (trial / 3) % 4;
    State board = random_board(rng, n, height, 0.55 + 0.1 * (trial % 4));
    board.sort_stacks();

    clear_tables();
    LiteralSolver literal;
    ASSERT_EQ(compute(board, 0), literal.compute(board));
    ASSERT_EQ(memo.size(), literal.memo.size());
    ASSERT_EQ(memo_strat.size(), literal.memo_strat.size());
    for (auto const& [key, value] : literal.memo) {
      int const* mine = memo.find(key);
      ASSERT_NE(mine, nullptr);
      ASSERT_EQ(*mine, value);
      State const next = best_successor(key);
      State const& expected = literal.memo_strat.at(key);
      ASSERT_EQ(next, expected);
      ASSERT_EQ(next.levels, expected.levels);
      ASSERT_EQ(next.remaining, expected.remaining);
    }
    compared += static_cast<int>(literal.memo.size());
    infeasible += literal.memo.at(board) == kNoPlacement;
  }
  EXPECT_GT(compared, 100000);
  EXPECT_GT(infeasible, 20);
}

}  // namespace
