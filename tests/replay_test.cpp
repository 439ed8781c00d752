// The line of play in the user's columns: the moves of every JSON step, replayed on the yard as
// it was given, reach the canonical board the step names; and the drawings people read.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <random>

#include "board_io/compact_form.h"
#include "board_io/instance_form.h"
#include "replay/column_line.h"
#include "replay/drawing.h"
#include "report/json_report.h"
#include "solve_cli/solve_board.h"
#include "tests/support/test_boards.h"
#include "tests/support/test_yards.h"

namespace {

using Json = nlohmann::json;

// Plays the "line" of `record` on `yard` (the user's columns) by its "target" and "moves"
// alone, and checks each step against the fields the line had before columns were added.
void expect_moves_reach_every_after(Yard yard, Json const& record, bool two_class,
                                    std::string const& name) {
  for (Json const& step : record["line"]) {
    int const column = step["target"][0], slot = step["target"][1];
    auto& source = yard.stacks.at(column);
    int level = static_cast<int>(std::find(source.begin(), source.end(), 0) - source.begin());
    ASSERT_LT(slot, level) << name;
    int const asked = source[slot];
    EXPECT_EQ(asked, two_class ? kTarget : step["group"].get<int>()) << name;
    ASSERT_EQ(step["moves"].size(), step["after"].is_null() ? 0u : step["moved"].get<std::size_t>())
        << name;
    if (step["after"].is_null()) break;  // the lifted items fit nowhere: nothing moved
    for (Json const& move : step["moves"]) {
      ASSERT_EQ(move[0], column) << name;
      auto& to = yard.stacks.at(move[1].get<int>());
      auto const free = std::find(to.begin(), to.end(), 0);
      ASSERT_NE(free, to.end()) << name << ": a move onto a full stack";
      *free = source[--level];
      source[level] = 0;
    }
    ASSERT_EQ(level, slot + 1) << name << ": items left above the target";
    source[slot] = 0;
    Yard canonical = yard;
    canonical.sort_stacks();
    std::string const reached =
        two_class ? format_compact_board(State(canonical.stacks, kNoRequest))
                  : format_yard(canonical);
    ASSERT_EQ(reached, step["after"]) << name;
  }
}

TEST(ColumnLine, TheMovesOfEveryStepReachItsAfterOnTheYardAsGiven) {
  std::mt19937 rng(10);
  int steps = 0;
  for (int i = 0; i < 300; ++i) {
    int const n = 2 + i % 4, height = 2 + (i / 4) % 4;
    State const board = random_board(rng, n, height, 0.7);
    SolveResult const result = solve_board(board, {true, false}, {}, nullptr);
    ASSERT_EQ(result.status, SearchStatus::optimal);
    Json const record = Json::parse(solve_result_json(result).dump());
    expect_moves_reach_every_after(yard_of(board), record, true, format_compact_board(board));
    steps += static_cast<int>(record["line"].size());
  }
  for (Within within : {Within::worst, Within::best, Within::random}) {
    for (int i = 0; i < 150; ++i) {
      Yard const yard = random_grouped_yard(rng, 2 + i % 3, 2 + (i / 3) % 3, 0.75, 3, 0.3);
      YardResult const result = solve_yard(yard, within, {true, false}, {}, nullptr);
      ASSERT_EQ(result.status, SearchStatus::optimal);
      Json const record = Json::parse(yard_result_json(result).dump());
      expect_moves_reach_every_after(yard, record, false,
                                     within_name(within) + std::string(" ") + format_yard(yard));
      steps += static_cast<int>(record["line"].size());
    }
  }
  EXPECT_GT(steps, 1000);
}

TEST(ColumnLine, AStackKeepsItsColumnWhenItIsEmptiedAndAnAnswerThatIsNoChildIsRefused) {
  // The canonical order would put the emptied stack first; here it stays in column 2.
  Yard const given{3, 2, 1, {{2, 0}, {2, 0}, {1, 2}}};
  ColumnStep const step = column_step(given, 2, 0, Yard{3, 2, 1, {{0, 0}, {2, 0}, {2, 2}}});
  EXPECT_EQ(step.moves, (std::vector<ColumnMove>{{2, 0}}));
  EXPECT_EQ(step.after.stacks, (std::vector<std::vector<int>>{{2, 2}, {2, 0}, {0, 0}}));
  EXPECT_THROW(column_step(given, 2, 0, Yard{3, 2, 1, {{0, 0}, {0, 0}, {2, 2}}}),
               std::logic_error);
}

TEST(Drawing, ColumnNumbersFitTheCellsAndPlainMarkingIsAStar) {
  EXPECT_EQ(column_ruler(3, 1, 0), " 012\n");
  EXPECT_EQ(column_ruler(12, 1, 0), "           11\n 012345678901\n");
  EXPECT_EQ(column_ruler(12, 2, 1), "  0  1  2  3  4  5  6  7  8  9 10 11\n");
  Yard const yard{2, 2, 12, {{12, 2}, {13, 0}}};
  EXPECT_EQ(drawing(yard, {0, 0}, {Glyphs::groups, Marking::plain, true}),
            "-------\n| 2  .|\n| *  x|\n-------\n  0  1\n");
  EXPECT_EQ(drawing(yard, {0, 0}, {Glyphs::groups, Marking::colour, false}),
            "-------\n| 2  .|\n|\033[6;30;42m12\033[0m  x|\n-------\n");
  EXPECT_EQ(drawing(Yard{2, 2, 1, {{1, 2}, {0, 0}}}, {0, 0}, {Glyphs::two_class, Marking::plain}),
            "----\n|x |\n|* |\n----\n 01\n");
}

}  // namespace
