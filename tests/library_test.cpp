// The installed library's interface where Python does not reach it: a search stopped from
// another thread.
#include <gtest/gtest.h>

#include <stacks/stacks.h>
#include <atomic>

namespace {

TEST(Library, AnInterruptStopsTheSearchWithWhatItProved) {
  std::atomic<bool> stop = true;
  stacks::Options options;
  options.interrupt = &stop;
  // A yard whose placement rule's cost, the upper bound, is worked out in the grace a stop
  // leaves for it.
  stacks::Result const result = stacks::solve("1222000/1121000/1122000/1221000", options);
  EXPECT_EQ(result.status, stacks::Status::interrupted);
  EXPECT_FALSE(result.value);
  ASSERT_TRUE(result.lower && result.upper);
  EXPECT_LT(result.lower->number, result.upper->number);
  ASSERT_FALSE(result.line.empty());
  for (stacks::Step const& step : result.line) {
    EXPECT_FALSE(step.cost);
    ASSERT_TRUE(step.lower && step.upper);
    EXPECT_LE(step.lower->number, step.upper->number);
    EXPECT_EQ(step.moves.size(), static_cast<std::size_t>(step.moved));
  }
  ASSERT_TRUE(result.gap);
  EXPECT_DOUBLE_EQ(*result.gap,
                   (result.upper->number - result.lower->number) / result.upper->number);
}

// Steps say, in the columns as given, which item is asked for and where each lifted one goes;
// the canonical board of `stack` puts the empty stack first.
TEST(Library, StepsGiveTheirTargetAndMovesInTheColumnsAsGiven) {
  stacks::Result const result = stacks::solve("121/000");
  ASSERT_EQ(result.status, stacks::Status::optimal);
  EXPECT_EQ(result.gap, 0.0);
  ASSERT_EQ(result.line.size(), 2u);
  EXPECT_EQ(result.line[0].stack, 1);
  EXPECT_EQ(result.line[0].target, (stacks::Place{0, 0}));
  EXPECT_EQ(result.line[0].moves, (std::vector<stacks::Move>{{0, 1}, {0, 1}}));
  EXPECT_EQ(result.line[1].target, (stacks::Place{1, 0}));
  EXPECT_EQ(result.line[1].moves, (std::vector<stacks::Move>{{1, 0}}));
}

}  // namespace
