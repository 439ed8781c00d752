#include "model/packed_board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>

#include "model/grouped_board.h"
#include "tests/support/test_boards.h"

namespace {

// Every well-formed stack of the given capacity.
std::vector<std::vector<int>> all_stacks(int height) {
  std::vector<std::vector<int>> result{std::vector<int>(height, kEmpty)};
  for (std::size_t i = 0; i < result.size(); ++i) {
    auto const stack = result[i];
    int const level = static_cast<int>(
        std::count_if(stack.begin(), stack.end(), [](int c) { return c != kEmpty; }));
    if (level == height) continue;
    for (int item : {kTarget, kOther}) {
      auto grown = stack;
      grown[level] = item;
      result.push_back(grown);
    }
  }
  return result;
}

std::uint32_t code_of(std::vector<int> const& stack) {
  return pack(State({stack}, kNoRequest)).code(0);
}

TEST(StackCode, OrdersStacksAsSortingDoes) {
  for (int height : {0, 1, 3, 5}) {
    auto stacks = all_stacks(height);
    ASSERT_EQ(stacks.size(), (std::size_t{2} << height) - 1);
    std::sort(stacks.begin(), stacks.end());
    // Sorted stacks get the codes 0, 1, 2, ... in turn: the code is the rank.
    for (std::size_t rank = 0; rank < stacks.size(); ++rank) {
      EXPECT_EQ(code_of(stacks[rank]), rank) << "height " << height;
    }
  }
}

TEST(StackCode, DecodesBackToTheCells) {
  for (auto const& stack : all_stacks(4)) {
    int cells[4];
    int const level = decode_stack(code_of(stack), 4, cells);
    EXPECT_EQ(std::vector<int>(cells, cells + 4), stack);
    EXPECT_EQ(level, std::count_if(stack.begin(), stack.end(), [](int c) { return c != 0; }));
  }
}

TEST(PackedBoard, RoundTripsRandomBoardsWithAndWithoutRequest) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 500; ++trial) {
    State board = random_board(rng, 1 + trial % 8, trial % 9, 0.6);
    PackedBoard const packed = pack(board);
    EXPECT_EQ(unpack(packed), board);
    EXPECT_EQ(unpack(packed).levels, board.levels);
    EXPECT_EQ(unpack(packed).remaining, board.remaining);
    for (int s = 0; s < board.n_stacks; ++s) {
      for (int k = 0; k < board.levels[s]; ++k) {
        if (board.stacks[s][k] != kTarget) continue;
        State asked = board;
        asked.request = {s, k};
        PackedBoard const with = pack(asked);
        EXPECT_EQ(with, packed.with_request(s, k));
        EXPECT_EQ(unpack(with), asked);
        EXPECT_EQ(with.without_request(), packed);
      }
    }
  }
}

TEST(PackedBoard, EqualExactlyWhenBoardsAre) {
  State a({{1, 2, 0}, {2, 0, 0}}, kNoRequest);
  State b({{2, 0, 0}, {1, 2, 0}}, kNoRequest);
  State c({{1, 2, 0, 0}, {2, 0, 0, 0}}, kNoRequest);
  EXPECT_FALSE(pack(a) == pack(b));  // order counts, as in State equality
  EXPECT_FALSE(pack(a) == pack(c));  // so does the capacity
  b.sort_stacks();
  a.sort_stacks();
  EXPECT_EQ(pack(a), pack(b));
}

TEST(PackedBoard, LargestBoardsThatFit) {
  EXPECT_TRUE(fits_packing(8, 12));   // 104 bits of codes
  EXPECT_FALSE(fits_packing(8, 13));  // 112
  EXPECT_TRUE(fits_packing(3, 31));
  EXPECT_FALSE(fits_packing(32, 1));
  EXPECT_FALSE(fits_packing(2, 32));
  std::mt19937 rng(3);
  State full = random_board(rng, 3, 31, 1.0);
  EXPECT_EQ(unpack(pack(full)), full);
}

TEST(PackedBoard, RejectsWhatCannotBeAKey) {
  EXPECT_NE(
      packing_problem(State(std::vector<std::vector<int>>(9, std::vector<int>(12)), kNoRequest)),
      "");
  EXPECT_NE(packing_problem(State({{1, 0, 2}}, kNoRequest)).find("above an empty slot"),
            std::string::npos);
  EXPECT_NE(packing_problem(State({{3, 0}}, kNoRequest)).find("holds 3"), std::string::npos);
  EXPECT_NE(packing_problem(State({{1, 2}}, {0, 1})).find("names no target"), std::string::npos);
  EXPECT_NE(packing_problem(State({{1, 2}}, {1, 0})), "");
  EXPECT_NE(packing_problem(State({{1, 2}}, {-1, 0})), "");
  EXPECT_EQ(packing_problem(State({{1, 2}}, {0, 0})), "");
  EXPECT_THROW(pack(State({{1, 0, 2}}, kNoRequest)), std::invalid_argument);
}

}  // namespace

namespace {

// Random boards of one shape through a key of W words with header H and back: the board comes
// back in canonical order, and its stacks in any order give the same key.
template <int W, KeyHeader H>
void round_trip_keys(int stacks, int height, int stays) {
  ASSERT_LE(key_bits(stacks, height, stays, H), 64 * W);
  std::mt19937 rng(stacks * 100 + height);
  for (int t = 0; t < 50; ++t) {
    GroupedBoard board(stacks, height, stays);
    for (int s = 0; s < stacks; ++s) {
      int const level = static_cast<int>(rng() % (height + 1));
      for (int j = 0; j < level; ++j)
        board.push(s, 1 + static_cast<int>(rng() % stays));
    }
    GroupedBoard reversed(stacks, height, stays);
    for (int s = 0; s < stacks; ++s) {
      for (int j = 0; j < board.level[stacks - 1 - s]; ++j)
        reversed.push(s, board.cell[stacks - 1 - s][j]);
    }
    GroupKey<W> const key = key_of<W, H>(board);
    EXPECT_EQ(key, (key_of<W, H>(reversed)));
    EXPECT_EQ((key_of<W, H>(board_of<W, H>(key))), key);
    // Decoded, then keyed at the widest width with the wide header.
    EXPECT_EQ((key_of<32>(board_of<W, H>(key))), key_of<32>(board));
  }
}

}  // namespace

TEST(GroupKey, RoundTripsAtTheNarrowestWidthOfEachHeader) {
  // 6 stacks of capacity 6 in 4 groups: 127 bits with the narrow header, 132 with the wide.
  EXPECT_EQ(key_bits(6, 6, 5, KeyHeader::narrow), 127);
  round_trip_keys<2, KeyHeader::narrow>(6, 6, 5);
  round_trip_keys<4, KeyHeader::wide>(6, 6, 5);
  round_trip_keys<2, KeyHeader::wide>(3, 5, 4);
  round_trip_keys<2, KeyHeader::narrow>(3, 5, 4);
  // The largest fields a narrow header holds.
  round_trip_keys<32, KeyHeader::narrow>(kMaxGroupedStacks, 7, 254);
  round_trip_keys<32, KeyHeader::narrow>(2, kMaxGroupedHeight, 254);
  round_trip_keys<32, KeyHeader::wide>(1, kMaxGroupedHeight, 254);
}
