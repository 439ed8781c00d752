#include "solver/gen_all_seq.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace {

using Sequences = std::vector<std::vector<int>>;

TEST(GenAllSeq, LexicographicOrderWithoutTheExcludedStack) {
  EXPECT_EQ(gen_all_seq(3, 2, 1), (Sequences{{0, 0}, {0, 2}, {2, 0}, {2, 2}}));
}

TEST(GenAllSeq, ExcludedStackOutsideTheRangeExcludesNothing) {
  EXPECT_EQ(gen_all_seq(3, 1, 5), (Sequences{{0}, {1}, {2}}));
}

TEST(GenAllSeq, LengthZeroGivesOneEmptySequence) {
  EXPECT_EQ(gen_all_seq(4, 0, 2), Sequences{{}});
  EXPECT_EQ(gen_all_seq(0, 0, 0), Sequences{{}});
}

TEST(GenAllSeq, OneStackThatIsExcludedGivesNone) {
  EXPECT_TRUE(gen_all_seq(1, 1, 0).empty());
}

TEST(GenAllSeq, NegativeLengthIsALengthError) {
  try {
    gen_all_seq(3, -1, 0);
    FAIL() << "no exception";
  } catch (std::length_error const& e) {
    EXPECT_STREQ(e.what(), "cannot create std::vector larger than max_size()");
  }
}

TEST(GenAllSeq, CountsAndSortedness) {
  auto const seqs = gen_all_seq(5, 4, 2);
  EXPECT_EQ(seqs.size(), 256u);  // 4^4
  EXPECT_TRUE(std::is_sorted(seqs.begin(), seqs.end()));
  EXPECT_TRUE(std::adjacent_find(seqs.begin(), seqs.end()) == seqs.end());
  for (auto const& s : seqs)
    EXPECT_EQ(std::count(s.begin(), s.end(), 2), 0);
}

}  // namespace
