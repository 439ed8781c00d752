// The installed library's interface where Python does not reach it: a search stopped from
// another thread.
#include <gtest/gtest.h>

#include <atomic>
#include <stacks/stacks.h>

namespace {

TEST(Library, AnInterruptStopsTheSearchWithWhatItProved) {
  std::atomic<bool> stop = true;
  stacks::Options options;
  options.interrupt = &stop;
  stacks::Result const result =
      stacks::solve("11220000/12000000/12100000/21122110/21212220/22111000", options);
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
