// The two-class table keeps both bounds in the header bits of each slot's board: checked
// against a plain map of the same updates, so that a slot that confuses two boards, or loses or
// mixes up a bound, shows.
#include "search/bound_table.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>

#include "rules/no_placement.h"

namespace {

TEST(BoundTable, KeepsWhatAPlainMapKeeps) {
  for (bool const shared : {false, true}) {
    std::mt19937_64 rng(3);
    BoundTable table(0, shared);
    std::map<std::pair<std::uint64_t, std::uint64_t>, Bounds> plain;
    for (int i = 0; i < 20000; ++i) {
      // Boards of 8 stacks of 12 slots, whose codes take all 104 bits; the top ones and the
      // bottom ones vary, few enough for boards to meet again.
      PackedBoard const board = PackedBoard::from_bits(
          (Bits128(8) << 104) | (Bits128(12) << 109) | (Bits128{rng() % 3000} << 92) | rng() % 7);
      Bounds& b = plain[{board.lo, board.hi}];
      // Values up to the most a slot holds, and no placement.
      int const v = rng() % 5 == 0 ? kNoPlacement : static_cast<int>(rng() % 4095);
      int const stored = v == kNoPlacement ? Bounds::kNoValue : v;
      if (rng() % 2 == 0) {
        table.raise_lower(board, v);
        if (stored > b.lower) b.lower = static_cast<std::uint16_t>(stored);
      } else {
        table.cut_upper(board, v);
        if (stored < b.upper) b.upper = static_cast<std::uint16_t>(stored);
      }
      std::optional<Bounds> const kept = table.find(board);
      ASSERT_TRUE(kept.has_value());
      ASSERT_EQ(kept->lower, b.lower) << i;
      ASSERT_EQ(kept->upper, b.upper) << i;
    }
    EXPECT_EQ(table.size(), plain.size());
    for (auto const& [key, b] : plain) {
      std::optional<Bounds> const kept = table.find({key.first, key.second});
      ASSERT_TRUE(kept.has_value());
      EXPECT_EQ(kept->lower, b.lower);
      EXPECT_EQ(kept->upper, b.upper);
    }
  }
}

TEST(BoundTable, BoardsOfAnotherSizeWithTheSameCodesAreOtherBoards) {
  BoundTable table(0);
  PackedBoard const two_by_three = PackedBoard::from_bits((Bits128(2) << 104) | (Bits128(3) << 109) | 9);
  PackedBoard const three_by_two = PackedBoard::from_bits((Bits128(3) << 104) | (Bits128(2) << 109) | 9);
  table.raise_lower(two_by_three, 4);
  EXPECT_EQ(table.find(three_by_two), std::nullopt);
  table.cut_upper(three_by_two, 2);
  EXPECT_EQ(table.find(three_by_two)->lower, 0);
  EXPECT_EQ(table.find(three_by_two)->upper, 2);
  EXPECT_EQ(table.find(two_by_three), std::nullopt);
}

}  // namespace
