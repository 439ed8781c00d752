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
  }
}

}  // namespace
