// How much the engine searches on fixed yards: a change in search behaviour (bounds, move
// order, tie-breaks, the table) changes these counts, and should be seen and explained.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "board_io/compact_form.h"
#include "search/engine.h"

namespace {

struct Case {
  char const* name;
  Yard yard;
  Within within;
  Moves value;
  std::uint64_t stored;
  std::uint64_t searched;
  std::uint64_t line_searched = 0;  // the same after the line of best play too (0: not asked)
};

Yard two_class(char const* compact) {
  State board = std::get<State>(parse_compact_board(compact));
  board.sort_stacks();
  return yard_of(board);
}

TEST(SearchCounts, PinnedOnFixedYards) {
  Case const cases[] = {
      {"stacks_batch's yard", two_class("12221000/12120000/11100000/12100000/12200000"),
       Within::worst, 20, 1485, 1610},
      {"stacks_interactive's yard", two_class("1222000/1121000/1122000/1221000"), Within::worst, 19,
       682, 821},
      {"stacks_interactive's yard, random order", two_class("1222000/1121000/1122000/1221000"),
       Within::random, Moves(Fraction(555071, 40320)), 2250, 2556},
      {"three groups, worst order",
       Yard{5,
            6,
            3,
            {{1, 4, 2, 0, 0, 0},
             {2, 3, 1, 4, 0, 0},
             {3, 3, 4, 0, 0, 0},
             {1, 2, 2, 4, 0, 0},
             {4, 1, 0, 0, 0, 0}}},
       Within::worst, 13, 45, 48},
      {"four groups, worst order (grouped_06x4_g4_6 of bench/grouped_set.py)",
       Yard{6,
            6,
            4,
            {{2, 1, 1, 1, 0, 0},
             {2, 3, 1, 4, 0, 0},
             {3, 3, 3, 3, 0, 0},
             {1, 2, 4, 4, 0, 0},
             {4, 4, 4, 2, 0, 0},
             {1, 2, 2, 3, 0, 0}}},
       Within::worst, 21, 6308, 6805, 6815},
      {"three items a group, best order (grouped_08x5_g14_2 of bench/grouped_set.py)",
       Yard{8,
            7,
            14,
            {{3, 1, 9, 8, 2, 0, 0},
             {6, 14, 2, 13, 7, 0, 0},
             {9, 3, 6, 3, 10, 0, 0},
             {11, 5, 11, 1, 5, 0, 0},
             {10, 12, 9, 10, 1, 0, 0},
             {4, 12, 4, 8, 11, 0, 0},
             {7, 13, 7, 8, 14, 0, 0},
             {6, 2, 5, 12, 4, 0, 0}}},
       Within::best, 26, 11160, 11168, 21832},
      {"known order, 7 stacks of 5 (known_07x5_2 of bench/known_order_set.py)",
       Yard{7,
            7,
            35,
            {{27, 10, 35, 29, 14, 0, 0},
             {2, 19, 24, 13, 28, 0, 0},
             {33, 17, 1, 31, 23, 0, 0},
             {11, 6, 21, 9, 25, 0, 0},
             {20, 4, 26, 32, 3, 0, 0},
             {18, 34, 5, 15, 12, 0, 0},
             {30, 8, 22, 16, 7, 0, 0}}},
       Within::best, 27, 22, 11},
      {"known order, 6 stacks of 6 (known_06x6_3 of bench/known_order_set.py)",
       Yard{6,
            8,
            36,
            {{11, 25, 29, 34, 18, 21, 0, 0},
             {20, 31, 8, 17, 10, 24, 0, 0},
             {32, 4, 9, 19, 3, 33, 0, 0},
             {12, 14, 35, 23, 26, 36, 0, 0},
             {13, 22, 30, 2, 6, 28, 0, 0},
             {1, 7, 27, 5, 16, 15, 0, 0}}},
       Within::best, 34, 125, 123},
  };
  for (Case const& c : cases) {
    Engine engine;
    EXPECT_EQ(engine.value(c.yard, c.within), c.value) << c.name;
    EXPECT_EQ(engine.stats().stored, c.stored) << c.name;
    EXPECT_EQ(engine.stats().searched, c.searched) << c.name;
    if (c.line_searched == 0) continue;
    ASSERT_TRUE(engine.best_line(c.yard, c.within).has_value()) << c.name;
    EXPECT_EQ(engine.stats().searched, c.line_searched) << c.name;
  }
}

}  // namespace
