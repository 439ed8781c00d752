#include "search/engine.h"

#include <gtest/gtest.h>

#include <random>

#include "solver/compute.h"
#include "tests/support/test_boards.h"

namespace {

// Checks the engine's answers on one board against the exact solver: the value, the cost of
// every request, and a best line in which every request costs the board's value and every
// retrieval reaches a board whose value plus the items moved is that cost.
void expect_same_as_exact(Engine& engine, State const& board) {
  int const exact = compute(board, 0);
  ASSERT_EQ(engine.value(board), exact) << "board of value " << exact;

  auto const costs = engine.request_costs(board);
  ASSERT_TRUE(costs.has_value());
  for (auto const& c : *costs) {
    ASSERT_EQ(c.cost, compute(asking(board, c.stack, c.slot), 0));
  }

  auto const line = engine.best_line(board);
  ASSERT_TRUE(line.has_value());
  State current = board;
  for (auto const& step : *line) {
    int const here = compute(current, 0);
    ASSERT_EQ(step.cost, here);
    ASSERT_EQ(compute(asking(current, step.stack, step.slot), 0), here);
    if (!step.placed) {
      ASSERT_EQ(here, kNoPlacement);
      ASSERT_EQ(step.after, current);
      return;
    }
    int const after = compute(step.after, 0);
    ASSERT_EQ(step.after.remaining, current.remaining - 1);
    if (here != kNoPlacement) {
      ASSERT_EQ(after + step.moved, here);
    }
    current = step.after;
  }
  ASSERT_EQ(current.remaining, 0);
}

TEST(Engine, BuiltInYards) {
  Engine engine;
  State const batch = canonical({{1, 2, 2, 2, 1, 0, 0, 0},
                                 {1, 2, 1, 2, 0, 0, 0, 0},
                                 {1, 1, 1, 0, 0, 0, 0, 0},
                                 {1, 2, 1, 0, 0, 0, 0, 0},
                                 {1, 2, 2, 0, 0, 0, 0, 0}});
  State const interactive = canonical(
      {{1, 2, 2, 2, 0, 0, 0}, {1, 1, 2, 1, 0, 0, 0}, {1, 1, 2, 2, 0, 0, 0}, {1, 2, 2, 1, 0, 0, 0}});
  EXPECT_EQ(engine.value(batch), 20);
  EXPECT_EQ(engine.value(interactive), 19);
  EXPECT_GT(engine.stats().stored, 0u);
  EXPECT_GT(engine.stats().searched, 0u);
}

TEST(Engine, AMemoryBudgetTooSmallIsAnAnswerNotACrash) {
  State const batch = canonical({{1, 2, 2, 2, 1, 0, 0, 0},
                                 {1, 2, 1, 2, 0, 0, 0, 0},
                                 {1, 1, 1, 0, 0, 0, 0, 0},
                                 {1, 2, 1, 0, 0, 0, 0, 0},
                                 {1, 2, 2, 0, 0, 0, 0, 0}});
  Engine tight(16 * 1024);
  EXPECT_EQ(tight.value(batch), std::nullopt);
  EXPECT_TRUE(tight.out_of_memory());
  EXPECT_EQ(tight.best_line(batch), std::nullopt);
  EXPECT_LE(tight.stats().stored * 24, 16u * 1024);

  Engine roomy(64 * 1024 * 1024);
  EXPECT_EQ(roomy.value(batch), 20);
  EXPECT_FALSE(roomy.out_of_memory());
}

TEST(Engine, SameAsTheExactSolverOnRandomYards) {
  std::mt19937 rng(11);
  int boards = 0;
  int dead_ends = 0;
  for (int n = 2; n <= 5; ++n) {
    for (int height = 2; height <= 6; ++height) {
      int const slots = n * height;
      for (int trial = 0; trial < 60; ++trial) {
        int const items =
            std::uniform_int_distribution<int>(1, std::min(slots, n >= 5 ? 16 : slots))(rng);
        int const targets = std::uniform_int_distribution<int>(1, items)(rng);
        State const board = random_yard(rng, n, height, items, targets);
        clear_tables();
        Engine engine;
        expect_same_as_exact(engine, board);
        if (HasFatalFailure()) return;
        ++boards;
        dead_ends += compute(board, 0) == kNoPlacement;
      }
    }
  }
  EXPECT_GE(boards, 1000);
  EXPECT_GT(dead_ends, 50);
}

}  // namespace
