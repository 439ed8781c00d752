// A search stopped by a limit must still tell the truth: every bound it reports holds, and the
// line it falls back on is a line of play whose steps' bounds hold too.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include "board_io/compact_form.h"
#include "board_io/instance_form.h"
#include "rules/no_placement.h"
#include "search/bounds/known_order_bound.h"
#include "search/bounds/rule_cost.h"
#include "search/engine.h"
#include "search/grouped_prover.h"
#include "search/grouped_search.h"
#include "search/known_order_search.h"
#include "search/proof/helper_threads.h"
#include "search/proof/shared_proof.h"
#include "search/prover.h"
#include "search/random_prover.h"
#include "search/stop_poll.h"
#include "support/test_boards.h"
#include "support/test_yards.h"

namespace {

struct Limit {
  char const* name;
  double seconds;  // 0: already past when the search starts
};

// Every stopped step's bounds enclose what the rule's answer costs from there, and the line
// plays out: each retrieval takes one item of the current group away.
void expect_rule_line_holds(std::vector<YardStep> const& line, Yard const& yard) {
  int items = yard.items();
  for (YardStep const& step : line) {
    ASSERT_TRUE(step.lower.has_value());
    EXPECT_FALSE(step.cost < *step.lower);
    if (!step.placed) return;
    EXPECT_EQ(step.after.items(), --items);
  }
  EXPECT_EQ(line.empty() ? yard.items_to_retrieve() : line.back().after.items_to_retrieve(), 0);
}

TEST(AnytimeBounds, HoldAtEveryLimitInEveryOrder) {
  std::mt19937 rng(2026);
  Limit const limits[] = {{"past", 0}, {"1 ms", 1e-3}, {"10 ms", 1e-2}};
  int stopped = 0;
  for (int i = 0; i < 48; ++i) {
    // One yard in six of one item a group, whose searches find lines of their own.
    Yard const yard = i % 6 == 5 ? field_shaped_yard(rng, 5, 4)
                                 : random_grouped_yard(rng, 4, 5, 0.8, 1 + i % 3, 0.2);
    for (Within within : {Within::worst, Within::best, Within::random}) {
      Engine exact_engine;
      std::optional<Moves> const exact = exact_engine.value(yard, within);
      ASSERT_TRUE(exact.has_value());
      for (Limit const& limit : limits) {
        SCOPED_TRACE(format_yard(yard) + " " + within_name(within) + " " + limit.name);
        Engine engine;
        engine.set_limits(SearchLimits::within_seconds(limit.seconds, nullptr));
        std::optional<Moves> const value = engine.value(yard, within);
        std::optional<ValueBounds> const bounds = engine.bounds(yard, within);
        ASSERT_TRUE(bounds.has_value());
        EXPECT_FALSE(*exact < bounds->lower);
        EXPECT_FALSE(bounds->upper < *exact);
        if (value) {
          EXPECT_EQ(*value, *exact);
          EXPECT_EQ(engine.status(), SearchStatus::optimal);
          continue;
        }
        ++stopped;
        EXPECT_EQ(engine.status(), SearchStatus::time_limit);
        auto const line = engine.rule_line(yard, within);
        ASSERT_TRUE(line.has_value());
        if (!line->empty()) {
          EXPECT_FALSE(line->front().cost < *exact);
          // In the worst and best orders the line is the witness of the upper bound: its first
          // request costs it, and its moves cost no more. (In the random order it shows the
          // unluckiest requests, whose costs are above the mean.)
          int moved = 0;
          for (YardStep const& step : *line)
            moved += step.moved;
          if (within != Within::random) {
            EXPECT_EQ(line->front().cost, bounds->upper);
            EXPECT_LE(Moves(moved), bounds->upper);
          }
        }
        Yard sorted = yard;
        sorted.sort_stacks();
        expect_rule_line_holds(*line, sorted);
      }
    }
  }
  EXPECT_GT(stopped, 40);  // the limits do stop searches (about 140 here)
}

TEST(AnytimeBounds, AnInterruptStopsTheNextQuery) {
  std::atomic<bool> interrupt{true};
  Engine engine;
  engine.set_limits(SearchLimits::within_seconds(INFINITY, &interrupt));
  Yard const yard{2, 3, 1, {{1, 2, 1}, {0, 0, 0}}};
  EXPECT_FALSE(engine.value(yard, Within::worst).has_value());
  EXPECT_EQ(engine.status(), SearchStatus::interrupted);
}

}  // namespace

namespace {

// Helpers from the first board on, so that small boards share their proofs too: every proof
// of the query's prover made beside a helper on one table, against a prover alone.
TEST(EngineThreads, HelpersLeaveEveryValueAsItWas) {
  std::mt19937 rng(17);
  std::uint64_t helped = 0;
  int dead_ends = 0;
  for (int trial = 0; trial < 300; ++trial) {
    // One board in three so full that a request can find no room: proofs of no placement.
    State board = random_board(rng, 4 + trial % 4, 4 + trial % 3, trial % 3 == 0 ? 0.97 : 0.7);
    board.sort_stacks();
    PackedBoard const key = pack(board);
    BoundTable alone_table(0);
    int const alone = Prover(alone_table, [] {}).value(key);
    BoundTable table(0, true);
    BusyBoards busy;
    Prover prover(table, [] {});
    prover.share(&busy);
    int const shared = prover.value(key, [&](int goal) {
      HelperThreads helpers(
          1,
          [&](std::function<void()> const& tick) {
            Prover(table, tick, &busy).at_least(key, goal);
          },
          SearchLimits{});
      Proof const proof = prover.at_least(key, goal);
      helpers.stop();
      helped += helpers.expanded();
      return proof;
    });
    ASSERT_EQ(shared, alone) << format_compact_board(board);
    dead_ends += alone == kNoPlacement;
  }
  EXPECT_GT(helped, 0u);
  EXPECT_GT(dead_ends, 10);
}

// The same on yards of groups, in the worst, best and random orders and with one item a group,
// each value searched with a helper from the first board on, against a search alone.
TEST(EngineThreads, HelpersLeaveEveryGroupedValueAsItWas) {
  std::mt19937 rng(19);
  std::uint64_t helped = 0;
  std::uint64_t helped_random = 0;
  for (int trial = 0; trial < 200; ++trial) {
    if (trial >= 150) {
      Yard const yard = random_grouped_yard(rng, 5, 4, 0.8, 3, 0.15);
      GroupedBoard const board = dense_yard(yard).board;
      SCOPED_TRACE(format_yard(yard));
      ProofSharing sharing(2, 0);
      RandomProver<4>::Table alone_table(0), table(0, true);
      Moves const alone = RandomProver<4>(alone_table, [] {}).value(board);
      ASSERT_EQ(RandomProver<4>(
                    table, [] {}, &sharing)
                    .value(board),
                alone);
      helped_random += sharing.helper_expanded();
      continue;
    }
    Yard const yard = trial % 3 == 2 ? field_shaped_yard(rng, 4, 4)
                                     : random_grouped_yard(rng, 5, 5, 0.8, 3, 0.15);
    GroupedBoard const board = dense_yard(yard).board;
    SCOPED_TRACE(format_yard(yard));
    ProofSharing sharing(2, 0);
    if (trial % 3 == 2) {
      KnownOrderSearch<4>::Table alone_table(0), table(0, true);
      int const alone = KnownOrderSearch<4>(alone_table, [] {}).value(board);
      ASSERT_EQ(KnownOrderSearch<4>(
                    table, [] {}, &sharing)
                    .value(board),
                alone);
    } else {
      Within const within = trial % 3 == 0 ? Within::worst : Within::best;
      GroupedProver<4>::Table alone_table(0), table(0, true);
      int const alone = GroupedProver<4>(alone_table, within, [] {}).value(board);
      ASSERT_EQ(GroupedProver<4>(
                    table, within, [] {}, &sharing)
                    .value(board),
                alone);
    }
    helped += sharing.helper_expanded();
  }
  EXPECT_GT(helped, 0u);
  EXPECT_GT(helped_random, 0u);
}

// Two threads stopped by each limit, once the helpers are at work: the status, or the memory
// shortage, says which limit it was, and the bounds proved so far hold.
TEST(EngineThreads, StopAtEachLimitWithTrueBounds) {
  State board =
      std::get<State>(parse_compact_board("12000000/12121211/12210000/12212210/21120000/22100000"));
  board.sort_stacks();
  int const value = 34;
  struct Case {
    char const* name;
    std::size_t max_bytes;
    double seconds;
    bool interrupt;
    SearchStatus status;
  };
  for (Case const& c :
       {Case{"time limit", 0, 1.5, false, SearchStatus::time_limit},
        Case{"interrupt", 0, INFINITY, true, SearchStatus::interrupted},
        Case{"budget", std::size_t{8} << 20, INFINITY, false, SearchStatus::memory_limit}}) {
    SCOPED_TRACE(c.name);
    std::atomic<bool> interrupt{false};
    Engine engine(c.max_bytes, nullptr, 2);
    engine.set_limits(SearchLimits::within_seconds(c.seconds, &interrupt));
    std::thread signal([&] {
      if (!c.interrupt) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(1500));
      interrupt = true;
    });
    EXPECT_FALSE(engine.value(board).has_value());
    signal.join();
    EXPECT_EQ(engine.status(), c.status);
    if (c.max_bytes != 0) {
      EXPECT_EQ(engine.memory_shortage(), MemoryShortage::budget);
      EXPECT_GT(engine.stats().helped, 0u);
      continue;
    }
    std::optional<ValueBounds> const bounds = engine.bounds(board);
    ASSERT_TRUE(bounds.has_value());
    EXPECT_FALSE(Moves(value) < bounds->lower);
    EXPECT_FALSE(bounds->upper < Moves(value));
  }
}

// Value searches long enough for the engine to start its helpers: one whose dear goals come
// after 65536 boards, and one whose every dear board is in a goal begun before that many, which
// helpers must join part-way.
TEST(EngineThreads, ShareALongSearchAndGiveTheSameLine) {
  for (char const* compact : {"11211120/11212221/12210000/12221200/20000000/21000000",
                              "00000000/11112000/12111200/12212100/21222121/22200000"}) {
    SCOPED_TRACE(compact);
    State board = std::get<State>(parse_compact_board(compact));
    board.sort_stacks();
    Engine one;
    Engine two(0, nullptr, 2);
    EXPECT_EQ(two.value(board), one.value(board));
    EXPECT_GT(two.stats().helped, 0u);
    auto const line_one = one.best_line(board);
    auto const line_two = two.best_line(board);
    ASSERT_TRUE(line_one && line_two);
    ASSERT_EQ(line_two->size(), line_one->size());
    for (std::size_t s = 0; s < line_one->size(); ++s) {
      EXPECT_EQ((*line_two)[s].stack, (*line_one)[s].stack);
      EXPECT_EQ((*line_two)[s].after, (*line_one)[s].after);
    }
  }
  // Yards of groups whose value search passes 65536 boards: four groups in the worst order,
  // and in the random order, where a line's answers follow exact means.
  struct GroupedCase {
    char const* instance;
    Within within;
  };
  for (GroupedCase const& c :
       {GroupedCase{"6 6 24\n4 2 2 1 1\n4 1 2 3 3\n4 4 3 2 3\n4 3 1 1 4\n4 4 3 4 1\n4 2 4 4 2\n",
                    Within::worst},
        GroupedCase{"5 6 20\n4 1 2 2 3\n4 4 1 4 2\n4 3 1 3 4\n4 1 1 4 2\n4 3 4 2 3\n",
                    Within::random}}) {
    SCOPED_TRACE(c.instance);
    Yard const yard = std::get<Yard>(parse_instance(c.instance));
    Engine one;
    Engine two(0, nullptr, 2);
    EXPECT_EQ(two.value(yard, c.within), one.value(yard, c.within));
    // The rules' upper bound comes after a second of search; on a slow build it can meet the
    // value and end the search before helpers are due.
    if (one.stats().searched > ProofSharing::kSerialExpansions) {
      EXPECT_GT(two.stats().helped, 0u);
    }
    auto const line_one = one.best_line(yard, c.within);
    auto const line_two = two.best_line(yard, c.within);
    ASSERT_TRUE(line_one && line_two);
    ASSERT_EQ(line_two->size(), line_one->size());
    for (std::size_t s = 0; s < line_one->size(); ++s) {
      EXPECT_EQ(std::pair((*line_two)[s].stack, (*line_two)[s].slot),
                std::pair((*line_one)[s].stack, (*line_one)[s].slot));
      EXPECT_EQ((*line_two)[s].after, (*line_one)[s].after);
    }
  }
}

}  // namespace

// The loops that run long on a full yard between two boards expanded look at the stop: a
// check that throws at its first poll ends each of them, on yards of 20 stacks of capacity 12
// with 150 items (one item a group, and five groups for the rule's cost, whose known-order
// line is short), where each takes far longer than a thousand polls.
TEST(AnytimeBounds, TheLongLoopsLookAtTheStop) {
  auto wide_board = [](int groups) {
    std::mt19937 rng(7);
    std::vector<int> items(150);
    for (int i = 0; i < 150; ++i)
      items[i] = groups == 0 ? i + 1 : 1 + i % groups;
    std::shuffle(items.begin(), items.end(), rng);
    Yard yard{20, 12, groups == 0 ? 150 : groups, {}};
    for (int s = 0, next = 0; s < 20; ++s) {
      int const height = s < 10 ? 8 : 7;
      yard.stacks.emplace_back(items.begin() + next, items.begin() + next + height);
      next += height;
    }
    return canonical(dense_yard(yard).board);
  };
  GroupedBoard const known = wide_board(0);
  GroupedBoard const grouped = wide_board(5);
  struct Stopped {};
  std::function<void()> const stop = [] { throw Stopped{}; };
  std::pair<char const*, std::function<void()>> const loops[] = {
      {"the moved-items count", [&] { known_order_bound(known, kStrongestBound, true, 1 << 16); }},
      {"the rule's cost", [&] { RuleCosts(grouped, Within::worst, 0).cost(grouped); }},
      {"a known-order value", [&] {
         KnownOrderSearch<32>::Table table(0);
         KnownOrderSearch<32>(table, [] {}).value(known);
       }}};
  for (auto const& [name, loop] : loops) {
    SCOPED_TRACE(name);
    StopPoll::Scope const polling(&stop);
    EXPECT_THROW(loop(), Stopped);
  }
}
