#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "search/best_order_beam.h"
#include "search/bounds/merged_rule_cost.h"
#include "search/bounds/rule_cost.h"
#include "search/bounds/sampled_rule_cost.h"
#include "search/engine.h"
#include "search/grouped_search.h"
#include "search/known_order_search.h"
#include "search/root_bounds.h"
#include "search/stop_poll.h"
#include "solver/compute.h"
#include "tests/support/grouped_brute_force.h"
#include "tests/support/test_boards.h"
#include "tests/support/test_yards.h"

// What failure messages show: values as numbers, yards in compact form, instead of bytes.
std::string compact(Yard const& yard) {
  std::string text = std::to_string(yard.groups) + " groups: ";
  for (auto const& stack : yard.stacks) {
    if (&stack != &yard.stacks.front()) text += '/';
    for (int cell : stack)
      text += std::to_string(cell);
  }
  return text;
}
void PrintTo(Yard const& yard, std::ostream* out) {
  *out << compact(yard);
}
void PrintTo(Moves const& moves, std::ostream* out) {
  *out << (moves.placed() ? moves.fraction_text() : "no placement");
}
void PrintTo(Within within, std::ostream* out) {
  *out << within_name(within);
}

namespace {

constexpr Within kOrders[] = {Within::worst, Within::best, Within::random};

// A yard from stacks written bottom first, padded with empty slots to the capacity.
Yard padded(int groups, int height, std::vector<std::vector<int>> stacks) {
  for (auto& stack : stacks)
    stack.resize(height, 0);
  return Yard{static_cast<int>(stacks.size()), height, groups, stacks};
}

Moves fraction(int numerator, int denominator) {
  return Moves(Fraction(numerator, denominator));
}

bool by_cost(std::pair<std::pair<int, int>, Moves> const& a,
             std::pair<std::pair<int, int>, Moves> const& b) {
  return a.second < b.second;
}

// Every item's cell, in sorted order: what a retrieval may rearrange but not change.
std::vector<int> cells(Yard const& yard) {
  std::vector<int> all;
  for (auto const& stack : yard.stacks) {
    for (int cell : stack) {
      if (cell != 0) all.push_back(cell);
    }
  }
  std::sort(all.begin(), all.end());
  return all;
}

TEST(GroupedBruteForce, WorstOrderOfOneGroupIsTheExactSolversGame) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> stacks(2, 4), height(1, 4);
  std::uniform_real_distribution<double> fill(0.4, 1.0);
  int dead_ends = 0;
  for (int trial = 0; trial < 400; ++trial) {
    State const board = canonical(random_board(rng, stacks(rng), height(rng), fill(rng)).stacks);
    int const exact = compute(board, 0);
    ASSERT_EQ(brute_force_value(yard_of(board), Within::worst), Moves(exact))
        << compact(yard_of(board));
    dead_ends += exact == kNoPlacement;
  }
  EXPECT_GT(dead_ends, 20);
}

TEST(GroupedBruteForce, HandWorkedYards) {
  struct Case {
    Yard yard;
    Moves worst, best, random;
  };
  Moves const none = Moves::no_placement();
  Case const cases[] = {
      // Only items that stay: nothing is ever asked for.
      {padded(2, 2, {{3, 3}, {3}}), 0, 0, 0},
      // Asking for the covered target first moves the 2 onto the other one, which then costs a
      // second move: 2. Asking for the free one first leaves one covered target: 1.
      {padded(1, 3, {{1, 2}, {1}}), 2, 1, fraction(3, 2)},
      // The lower target costs one move (the upper one goes onto the 2 and leaves from there),
      // the upper one none.
      {padded(1, 2, {{1, 1}, {2}}), 1, 0, fraction(1, 2)},
      // Too many items: under (0,0) two items meet one free slot, under (1,0) the target above
      // meets a full stack. Only (1,1) can be answered; it leaves 122/1, where asking first for
      // the covered target costs 2 + 2 and for the free one 0 + 2.
      {padded(1, 3, {{1, 2, 2}, {1, 1}}), none, 2, none},
      // Group 1 leaves first, its only item costing the move of a 2 onto 23: 232. Then the
      // bottom 2 costs 2 + 1 (both lifted go onto the empty stack, the 3 on top), the top one
      // 0 + 1, so the yard is worth 1 + 3, 1 + 1 or 1 + 2.
      {padded(2, 3, {{1, 2}, {2, 3}}), 4, 2, 3},
  };
  for (auto const& c : cases) {
    SCOPED_TRACE(compact(c.yard));
    EXPECT_EQ(brute_force_value(c.yard, Within::worst), c.worst);
    EXPECT_EQ(brute_force_value(c.yard, Within::best), c.best);
    EXPECT_EQ(brute_force_value(c.yard, Within::random), c.random);
  }
  // Request costs of the yard with too many items: (1,1) costs the value of 122/1 in each order.
  Yard const crowded = padded(1, 3, {{1, 2, 2}, {1, 1}});
  for (auto [within, rest] : {std::pair{Within::worst, Moves(4)}, std::pair{Within::best, Moves(2)},
                              std::pair{Within::random, Moves(3)}}) {
    using Cost = std::pair<std::pair<int, int>, Moves>;
    EXPECT_EQ(brute_force_request_costs(crowded, within),
              (std::vector<Cost>{{{0, 0}, none}, {{1, 0}, none}, {{1, 1}, rest}}));
  }
}

// The yard of stacks_interactive in random order: an expectation over the 8! orders of its
// targets, obtained apart from this code, so that fractions are checked on a yard too big to
// work by hand.
TEST(GroupedBruteForce, InteractiveYardInRandomOrder) {
  Yard const yard = padded(1, 7, {{1, 2, 2, 2}, {1, 1, 2, 1}, {1, 1, 2, 2}, {1, 2, 2, 1}});
  EXPECT_EQ(brute_force_value(yard, Within::random), fraction(555071, 40320));
}

// The engine's answers on one yard against the brute force: the value, every request's cost,
// and a line whose every step asks for an item that may be asked for, the one the order names,
// at its own cost, and answers it with a retrieval that reaches a yard worth that cost less the
// items moved.
void expect_same_as_brute_force(Engine& engine, Yard const& yard, Within within) {
  SCOPED_TRACE(compact(yard));
  GroupedBruteForce brute(yard, within);
  ASSERT_EQ(engine.value(yard, within), brute.value(yard));

  auto const costs = engine.request_costs(yard, within);
  ASSERT_TRUE(costs.has_value());
  GroupedBruteForce::RequestCosts seen;
  for (auto const& c : *costs)
    seen.push_back({{c.stack, c.slot}, c.cost});
  ASSERT_EQ(seen, brute.request_costs(yard));

  auto const line = engine.best_line(yard, within);
  ASSERT_TRUE(line.has_value());
  Yard current = yard;
  for (auto const& step : *line) {
    SCOPED_TRACE("step from " + compact(current));
    auto const asks = brute.request_costs(current);
    auto const asked = std::find_if(asks.begin(), asks.end(), [&](auto const& a) {
      return a.first == std::pair{step.stack, step.slot};
    });
    ASSERT_NE(asked, asks.end()) << "not an item of the lowest group";
    ASSERT_EQ(step.cost, asked->second);
    auto const named = within == Within::best ? std::min_element(asks.begin(), asks.end(), by_cost)
                                              : std::max_element(asks.begin(), asks.end(), by_cost);
    if (within == Within::random) {
      ASSERT_EQ(step.cost, named->second);
    } else {
      ASSERT_EQ(asked - asks.begin(), named - asks.begin()) << "not the request the order names";
    }

    auto const& from = current.stacks[step.stack];
    int const lifted = static_cast<int>(std::count_if(from.begin() + step.slot + 1, from.end(),
                                                      [](int cell) { return cell != 0; }));
    if (!step.placed) {
      int room = 0;
      for (int s = 0; s < current.n_stacks; ++s)
        room += s == step.stack ? 0
                                : static_cast<int>(std::count(current.stacks[s].begin(),
                                                              current.stacks[s].end(), 0));
      ASSERT_LT(room, lifted);
      current.sort_stacks();
      ASSERT_EQ(step.after, current);
      ASSERT_EQ(&step, &line->back());
      return;
    }
    ASSERT_EQ(step.moved, lifted);
    ASSERT_TRUE(std::is_sorted(step.after.stacks.begin(), step.after.stacks.end()));
    std::vector<int> left = cells(current);
    left.erase(std::find(left.begin(), left.end(), from[step.slot]));
    ASSERT_EQ(cells(step.after), left);
    ASSERT_EQ(yard_problem(step.after), "");
    ASSERT_EQ(std::tuple(step.after.n_stacks, step.after.height, step.after.groups),
              std::tuple(current.n_stacks, current.height, current.groups));
    ASSERT_EQ(step.cost, step.moved + brute.value(step.after));
    current = step.after;
  }
  ASSERT_EQ(current.items_to_retrieve(), 0);
}

class GroupedEngine : public testing::TestWithParam<Within> {};

TEST_P(GroupedEngine, SameAsTheBruteForceOnRandomYards) {
  Within const within = GetParam();
  std::mt19937 rng(17 + static_cast<int>(within));
  std::uniform_int_distribution<int> stacks(2, 4), height(1, 5), groups(1, 3);
  std::uniform_real_distribution<double> fill(0.3, 1.0);
  std::bernoulli_distribution some_stay(0.5);
  Engine engine;
  int beyond = 0;
  int unplaceable = 0;
  for (int trial = 0; trial < 1200; ++trial) {
    Yard yard;
    // More items than this make the brute force too slow on 4 stacks of 5.
    do {
      yard = random_grouped_yard(rng, stacks(rng), height(rng), fill(rng), groups(rng),
                                 some_stay(rng) ? 0.25 : 0.0);
    } while (yard.items() > 13);
    expect_same_as_brute_force(engine, yard, within);
    if (HasFatalFailure()) return;
    beyond += yard.items() > (yard.n_stacks - 1) * yard.height + 1;
    auto const costs = brute_force_request_costs(yard, within);
    unplaceable +=
        std::any_of(costs.begin(), costs.end(), [](auto const& c) { return !c.second.placed(); });
  }
  EXPECT_GT(beyond, 100);
  EXPECT_GT(unplaceable, 100);
}

// A line asks each request whether it reaches the board's value, one proof each: a request
// reaches its own cost, and never a move more, in every order and on yards beyond room.
TEST(GroupedSearch, ARequestReachesItsCostAndNoMore) {
  std::mt19937 rng(53);
  int asked = 0;
  for (int trial = 0; trial < 300; ++trial) {
    Within const within = kOrders[trial % 3];
    Yard yard;
    do {
      yard = random_grouped_yard(rng, 3 + trial % 2, 4, 0.9, 1 + trial % 3, 0.2);
    } while (yard.items() > 12);
    SCOPED_TRACE(compact(yard) + " " + within_name(within));
    GroupedBoard const board = dense_yard(yard).board;
    auto search = make_grouped_search(within, board, 0, [] {});
    for (auto const& [at, cost] : brute_force_request_costs(yard, within)) {
      ASSERT_TRUE(search->request_reaches(board, at.first, at.second, cost));
      if (cost.placed()) {
        ASSERT_FALSE(search->request_reaches(board, at.first, at.second, 1 + cost));
      }
      ++asked;
    }
  }
  EXPECT_GT(asked, 600);
}

// A yard whose every item that leaves has a group of its own, the groups in random order.
Yard known_order_yard(std::mt19937& rng, int n_stacks, int height, double fill, double stay) {
  Yard drawn = random_grouped_yard(rng, n_stacks, height, fill, 1, stay);
  std::vector<int> order(static_cast<std::size_t>(drawn.items_to_retrieve()));
  for (std::size_t i = 0; i < order.size(); ++i)
    order[i] = static_cast<int>(i) + 1;
  std::shuffle(order.begin(), order.end(), rng);
  Yard yard{n_stacks, height, static_cast<int>(order.size()), drawn.stacks};
  std::size_t next = 0;
  for (auto& stack : yard.stacks) {
    for (int& cell : stack) {
      if (cell == drawn.stays())
        cell = yard.stays();
      else if (cell != 0)
        cell = order[next++];
    }
  }
  return yard;
}

// One item a group: the known order, which every order reaches (the requesting side has no
// choice), on yards with room for every request and on yards without.
TEST(GroupedEngineKnownOrder, SameAsTheBruteForceInEveryOrder) {
  std::mt19937 rng(29);
  std::uniform_int_distribution<int> stacks(2, 5), height(2, 5);
  std::uniform_real_distribution<double> fill(0.3, 1.0);
  std::bernoulli_distribution some_stay(0.3);
  Engine engines[3];
  int crowded = 0;
  for (int trial = 0; trial < 500; ++trial) {
    Yard yard;
    do {
      yard = known_order_yard(rng, stacks(rng), height(rng), fill(rng), some_stay(rng) ? 0.2 : 0);
    } while (yard.items() > 12);
    for (int order = 0; order < 3; ++order) {
      expect_same_as_brute_force(engines[order], yard, kOrders[order]);
      if (HasFatalFailure()) return;
    }
    crowded += yard.items() > (yard.n_stacks - 1) * yard.height + 1;
  }
  EXPECT_GT(crowded, 50);
}

// Every line the known-order search draws (the first, and the pilots, drawn at once here) is
// an upper bound: stopped at its first board, the search's upper bound is at least the brute
// force's value and its witness achieves it; left to run, the value is the brute force's.
// Small shapes, 3 stacks of 5 among them, and items that stay.
TEST(GroupedEngineKnownOrder, EveryLineItDrawsIsAnUpperBound) {
  std::mt19937 rng(37);
  std::uniform_int_distribution<int> stacks(3, 5), height(3, 5);
  std::uniform_real_distribution<double> fill(0.5, 1.0);
  struct Stop {};
  int checked = 0;
  for (int trial = 0; trial < 300; ++trial) {
    Yard const yard = known_order_yard(rng, stacks(rng), height(rng), fill(rng), 0.2);
    GroupedBoard const board = canonical(dense_yard(yard).board);
    if (yard.items() > 12 || !always_fits(board) || current_group(board) == 0) continue;
    SCOPED_TRACE(compact(yard));
    int const value = brute_force_value(yard, Within::best).whole_moves();
    KnownOrderSearch<4>::Table stopped_table(0), table(0);
    KnownOrderSearch<4> stopped(
        stopped_table, [] { throw Stop{}; }, nullptr, true, 0);
    try {
      stopped.value(board);
    } catch (Stop const&) {
    }
    int const upper = stopped.proven(board).second;
    ASSERT_GE(upper, value);
    auto const line = stopped.witness(board);
    ASSERT_TRUE(line.has_value());
    int moved = 0;
    for (RuleCosts::Step const& step : *line)
      moved += step.lifted;
    ASSERT_EQ(moved, upper);
    ASSERT_EQ(KnownOrderSearch<4>(
                  table, [] {}, nullptr, true, 0)
                  .value(board),
              value);
    ++checked;
  }
  EXPECT_GT(checked, 100);
}

// On such yards the known-order bound's second count, moved items kept, is at its strongest; a
// count that claims one move too many shows as a wrong value. The brute force reaches small
// ones; on larger ones the search with the first count alone is the reference. The same goes
// for the upper bounds of the pilot lines, drawn here before any proof: one that a line does
// not achieve ends the search below the value.
TEST(GroupedEngineKnownOrder, FieldShapedYardsKeepTheirValue) {
  std::mt19937 rng(31);
  Engine engine;
  for (int trial = 0; trial < 200; ++trial) {
    int const n = 3 + trial % 2;
    Yard const yard = field_shaped_yard(rng, n, n == 3 ? 3 + trial / 2 % 2 : 3);
    SCOPED_TRACE(compact(yard));
    ASSERT_EQ(engine.value(yard, Within::best), brute_force_value(yard, Within::best));
  }
  using Search = KnownOrderSearch<8>;  // keys of up to 512 bits: 6 stacks of 8 slots
  Search::Table first_table(0), both_table(0), piloted_table(0);
  Search first_only(
      first_table, [] {}, nullptr, false),
      both(both_table, [] {}),
      piloted(
          piloted_table, [] {}, nullptr, true, 0);
  for (int trial = 0; trial < 300; ++trial) {
    Yard const yard = field_shaped_yard(rng, 4 + trial % 2, 4 + trial / 2 % 2);
    SCOPED_TRACE(compact(yard));
    GroupedBoard const board = dense_yard(yard).board;
    int const value = first_only.value(board);
    ASSERT_EQ(both.value(board), value);
    ASSERT_EQ(piloted.value(board), value);
  }
}

// A known-order search stopped part way still holds lines it found (its first line, at least,
// and on every third yard the pilot lines, drawn at once): the witness is one, and its moves add
// up to the upper bound the table holds, each step taking one item away.
TEST(GroupedEngineKnownOrder, AStoppedSearchGivesTheLineOfItsUpperBound) {
  std::mt19937 rng(31);
  struct Stop {};
  int stopped = 0;
  for (int trial = 0; trial < 30; ++trial) {
    Yard const yard = field_shaped_yard(rng, 7 + trial % 3, 5 + trial % 2);
    SCOPED_TRACE(compact(yard));
    GroupedBoard const board = canonical(dense_yard(yard).board);
    KnownOrderSearch<16>::Table table(0);
    int expanded = 0;
    std::uint64_t const pilot_after = trial % 3 == 0 ? 0 : 8'000'000;
    KnownOrderSearch<16> search(
        table,
        [&] {
          if (++expanded > 3) throw Stop{};
        },
        nullptr, true, pilot_after);
    try {
      search.value(board);
    } catch (Stop const&) {
      ++stopped;
    }
    int const upper = search.proven(board).second;
    auto const line = search.witness(board);
    ASSERT_TRUE(line.has_value());
    ASSERT_EQ(line->front().cost, Moves(upper));
    int moved = 0;
    int items = yard.items();
    for (RuleCosts::Step const& step : *line) {
      moved += step.lifted;
      EXPECT_EQ(GroupedRules::items_on(step.after), --items);
    }
    EXPECT_EQ(moved, upper);
    EXPECT_EQ(current_group(line->back().after), 0);
  }
  EXPECT_GT(stopped, 10);
}

// A beam's line is one: each step asks for an item of the current group on the board before it
// and ends on a placement of the items it lifts, each step's cost is what the line has left to
// pay, the moves add up to the line's cost, and the last step leaves nothing. Its cost lies
// between the value and the rule's. Small yards against the brute force, one item a group and
// several, with items that stay; field-shaped ones against the search.
TEST(GroupedEngineBestOrder, EveryBeamLineIsALineBetweenTheValueAndTheRule) {
  std::mt19937 rng(41);
  std::uniform_int_distribution<int> stacks(3, 5), height(3, 5);
  std::uniform_real_distribution<double> fill(0.5, 1.0);
  KnownOrderSearch<8>::Table table(0);
  KnownOrderSearch<8> search(table, [] {});
  int checked = 0;
  for (int trial = 0; trial < 360; ++trial) {
    int const kind = trial % 3;  // one item a group, several, field-shaped
    Yard const yard = kind == 0   ? known_order_yard(rng, stacks(rng), height(rng), fill(rng), 0.2)
                      : kind == 1 ? random_grouped_yard(rng, stacks(rng), height(rng), fill(rng),
                                                        2 + trial % 4, 0.2)
                                  : field_shaped_yard(rng, 4 + trial % 3, 4);
    GroupedBoard const board = canonical(dense_yard(yard).board);
    if ((kind < 2 && yard.items() > 12) || !always_fits(board) || current_group(board) == 0) {
      continue;
    }
    SCOPED_TRACE(compact(yard));
    int const value =
        kind < 2 ? brute_force_value(yard, Within::best).whole_moves() : search.value(board);
    for (int width : {1, 8}) {
      auto const line = BestOrderBeam<8>::run(board, width);
      ASSERT_GE(line.cost, value);
      ASSERT_LE(line.cost, rule_finish(board));
      GroupedBoard before = board;
      int moves = 0;
      for (std::size_t i = 0; i < line.steps.size(); ++i) {
        RuleCosts::Step const& step = line.steps[i];
        ASSERT_EQ(step.cost, Moves(line.cost - moves)) << "step " << i;
        ASSERT_EQ(before.cell[step.stack][step.slot], current_group(before)) << "step " << i;
        Retrieval<GroupedBoard> retrieval(before, step.stack, step.slot);
        ASSERT_EQ(step.lifted, retrieval.lifted_count()) << "step " << i;
        bool reached = false;
        retrieval.walk(kSkipNothingButStop, [&](GroupedBoard const& placed) {
          reached = key_of<8>(placed) == key_of<8>(step.after);
          return !reached;
        });
        ASSERT_TRUE(reached) << "step " << i;
        moves += step.lifted;
        before = step.after;
      }
      ASSERT_EQ(moves, line.cost);
      ASSERT_EQ(current_group(before), 0);
    }
    ++checked;
  }
  EXPECT_GT(checked, 200);
}

// A search of the best order with several items a group, stopped part way, holds the line of
// the beam it drew (at once here), which gives its upper bound: the witness is that line, its
// first step costs the bound and its moves add up to it.
TEST(GroupedEngineBestOrder, AStoppedSearchGivesItsBeamsLine) {
  std::mt19937 rng(37);
  struct Stop {};
  int stopped = 0;
  for (int trial = 0; trial < 12; ++trial) {
    // Field-shaped yards of 8 stacks of 5, three items a group.
    Yard yard = field_shaped_yard(rng, 8, 5);
    for (auto& stack : yard.stacks) {
      for (int& cell : stack)
        cell = cell == 0 ? 0 : (cell + 2) / 3;
    }
    yard.groups = 14;
    SCOPED_TRACE(compact(yard));
    GroupedBoard const board = canonical(dense_yard(yard).board);
    std::uint64_t const start = StopPoll::polls();
    auto search = make_grouped_search(
        Within::best, board, 0,
        [&] {
          if (StopPoll::polls() > start + 5000) throw Stop{};
        },
        nullptr, 0);
    try {
      search->value(board);
      continue;  // solved before the stop
    } catch (Stop const&) {
    }
    Moves const upper = search->proven(board).second;
    auto const line = search->witness(board);
    ASSERT_TRUE(line.has_value());
    ++stopped;
    ASSERT_EQ(line->front().cost, upper);
    int moved = 0;
    for (RuleCosts::Step const& step : *line)
      moved += step.lifted;
    EXPECT_EQ(Moves(moved), upper);
    EXPECT_EQ(current_group(line->back().after), 0);
  }
  EXPECT_GT(stopped, 6);
}

// The rule improved by looking ahead never costs more than the rule, nor less than the value;
// it costs less on many yards; and its line, in the worst and best orders, is its witness: its
// first request costs the bound, and its moves add up to no more.
TEST(RuleCosts, LookingAheadCostsNoMoreThanTheRuleAndNoLessThanTheValue) {
  std::mt19937 rng(43);
  int cheaper = 0;
  for (int trial = 0; trial < 450; ++trial) {
    Within const within = kOrders[trial % 3];
    Yard yard;
    do {
      yard = random_grouped_yard(rng, 3 + trial % 2, 4, 0.9, 2 + trial % 3, 0.2);
    } while (yard.items() > 12);
    SCOPED_TRACE(compact(yard) + " " + within_name(within));
    GroupedBoard const board = dense_yard(yard).board;
    RuleCosts costs(board, within, 0);
    std::optional<Moves> const rule = costs.cost(board);
    std::optional<Moves> const improved = costs.look_ahead_cost(board);
    ASSERT_TRUE(rule && improved);
    Moves const value = brute_force_value(yard, within);
    ASSERT_FALSE(*rule < *improved);
    ASSERT_FALSE(*improved < value);
    cheaper += *improved < *rule;
    if (within == Within::random || !improved->placed()) continue;
    int moved = 0;
    int items = yard.items();
    std::vector<RuleCosts::Step> const line = costs.line(board, true);
    ASSERT_EQ(line.empty() ? Moves(0) : line.front().cost, *improved);
    for (RuleCosts::Step const& step : line) {
      moved += step.lifted;
      ASSERT_EQ(GroupedRules::items_on(step.after), --items);
    }
    EXPECT_LE(Moves(moved), *improved);
  }
  EXPECT_GT(cheaper, 30);
}

// Memory that runs out stops only what needs more: on every budget, a cost either is the cost
// of an unlimited table or is nothing, for good; the rule's cost once known stays, whatever
// the look-ahead then does to its table, and so does its line.
TEST(RuleCosts, ABudgetGivesTheUnlimitedCostOrNothing) {
  std::mt19937 rng(47);
  int rule_only = 0;
  for (int trial = 0; trial < 60; ++trial) {
    Within const within = kOrders[trial % 3];
    Yard const yard = random_grouped_yard(rng, 4, 5, 0.9, 3, 0.1);
    SCOPED_TRACE(compact(yard) + " " + within_name(within));
    GroupedBoard const board = dense_yard(yard).board;
    RuleCosts unlimited(board, within, 0);
    Moves const rule = *unlimited.cost(board);
    Moves const improved = *unlimited.look_ahead_cost(board);
    // A budget too small to split among the table's parts is still a budget.
    EXPECT_FALSE(RuleCosts(board, within, 1).cost(board).has_value());
    for (std::size_t bytes : {std::size_t{1} << 16, std::size_t{1} << 18, std::size_t{1} << 20}) {
      RuleCosts costs(board, within, bytes);
      std::optional<Moves> const limited = costs.cost(board);
      std::optional<Moves> const looked = limited ? costs.look_ahead_cost(board) : std::nullopt;
      if (limited) {
        ASSERT_EQ(*limited, rule);
      }
      if (looked) {
        ASSERT_EQ(*looked, improved);
      }
      if (!limited || looked) continue;
      ++rule_only;
      EXPECT_FALSE(costs.look_ahead_cost(board).has_value());
      EXPECT_EQ(costs.cost(board), rule);
      std::vector<RuleCosts::Step> const line = costs.line(board);
      ASSERT_FALSE(line.empty());
      EXPECT_EQ(line.front().cost, unlimited.line(board).front().cost);
    }
  }
  EXPECT_GT(rule_only, 5);
}

// The moves of a rule's line from the board, each turn checked to ask for an item of the
// current group and to take one item away, and the line to leave nothing.
int checked_line_moves(GroupedBoard board, std::vector<RuleCosts::Step> const& line) {
  int moved = 0;
  for (RuleCosts::Step const& step : line) {
    EXPECT_EQ(board.cell[step.stack][step.slot], current_group(board));
    EXPECT_EQ(GroupedRules::items_on(step.after), GroupedRules::items_on(board) - 1);
    moved += step.lifted;
    board = step.after;
  }
  EXPECT_EQ(current_group(board), 0);
  return moved;
}

// The rule on a yard with its last groups merged is a strategy on the yard itself: from every
// group it may merge from, its cost is at least the value, and in the worst order its line on
// the yard moves no more than that.
TEST(MergedRuleCosts, BoundTheValueWithALineOfTheYardItself) {
  std::mt19937 rng(53);
  int lines = 0;
  for (int trial = 0; trial < 300; ++trial) {
    Within const within = trial % 2 == 0 ? Within::worst : Within::random;
    Yard yard;
    do {
      yard = random_grouped_yard(rng, 3 + trial % 2, 4, 0.9, 3 + trial % 2, 0.1);
    } while (yard.items() > 12);
    SCOPED_TRACE(compact(yard) + " " + within_name(within));
    GroupedBoard const board = dense_yard(yard).board;
    Moves const value = brute_force_value(yard, within);
    for (int from = std::max(current_group(board), 1); from < board.stays - 1; ++from) {
      MergedRuleCosts merged(board, from, within, 0);
      Moves const cost = *merged.cost();
      ASSERT_FALSE(cost < value) << from;
      if (!cost.placed()) continue;
      int const moved = checked_line_moves(canonical(board), merged.line());
      ++lines;
      if (within == Within::worst) {
        EXPECT_LE(Moves(moved), cost) << from;
      }
    }
  }
  EXPECT_GT(lines, 200);
}

// Where the rule's own table runs out of memory, the root's upper bound is the coarser yards',
// flagged as theirs, with their line; otherwise it is at most the rule's own cost.
TEST(RootBounds, ACoarserYardsBoundStandsWhereTheRulesOwnRunsOutOfMemory) {
  std::mt19937 rng(59);
  PackedBoundTable table(0);
  int coarse = 0;
  for (int trial = 0; trial < 120; ++trial) {
    Within const within = trial % 2 == 0 ? Within::worst : Within::random;
    GroupedBoard const board = dense_yard(random_grouped_yard(rng, 5, 6, 0.75, 4, 0.1)).board;
    Moves const own = *RuleCosts(board, within, 0).cost(board);
    for (std::size_t bytes : {std::size_t{0}, std::size_t{1} << 18, std::size_t{1} << 19}) {
      RootBounds root;
      root.set(board, within);
      root.ensure_rule(table, nullptr, bytes, RootBounds::Clock::time_point::max());
      ValueBounds const bounds = root.bounds(table, nullptr);
      if (RuleCosts(board, within, bytes).cost(board)) {
        ASSERT_FALSE(own < bounds.upper) << trial;
        continue;
      }
      ASSERT_EQ(bounds.coarse_upper, bounds.upper.placed()) << trial;
      if (!bounds.coarse_upper) continue;
      ++coarse;
      int const moved = checked_line_moves(
          canonical(board), root.rule_line().value_or(std::vector<RuleCosts::Step>{}));
      if (within == Within::worst) {
        EXPECT_LE(Moves(moved), bounds.upper) << trial;
      }
    }
  }
  EXPECT_GT(coarse, 5);
}

// The estimate plays the rule the exact mean is taken of, against the same chances: over many
// orders its mean lies within a few standard errors of the exact mean, and where every order
// costs the same its interval is that one number.
TEST(SampledRuleCost, CentresOnTheRulesExactMeanInTheRandomOrder) {
  std::mt19937 rng(41);
  int spread = 0;
  for (int trial = 0; trial < 40; ++trial) {
    Yard const yard = random_grouped_yard(rng, 3 + trial % 3, 4, 0.8, 2 + trial % 3, 0.2);
    GroupedBoard const board = dense_yard(yard).board;
    SCOPED_TRACE(compact(yard));
    std::optional<Moves> const exact = RuleCosts(board, Within::random, 0).cost(board);
    std::optional<SampledCost> const sampled = sample_rule_cost(board, 20000);
    if (!exact || !exact->placed() || current_group(board) == 0) {
      EXPECT_FALSE(sampled && exact && exact->placed());
      continue;
    }
    ASSERT_TRUE(sampled.has_value());
    double const standard_error = sampled->half_width / 1.959964;
    EXPECT_NEAR(sampled->mean, exact->approx(), 4 * standard_error + 1e-6);
    spread += sampled->half_width > 0;
  }
  EXPECT_GT(spread, 10);
}

INSTANTIATE_TEST_SUITE_P(EveryOrder, GroupedEngine, testing::ValuesIn(kOrders),
                         [](auto const& info) { return std::string(within_name(info.param)); });

TEST(GroupedEngineOneGroup, WorstOrderPlaysAsTheTwoClassGame) {
  std::mt19937 rng(23);
  std::uniform_real_distribution<double> fill(0.4, 1.0);
  Engine yards;
  Engine boards;
  for (int n = 2; n <= 5; ++n) {
    for (int height = 2; height <= 5; ++height) {
      for (int trial = 0; trial < 20; ++trial) {
        State const board = canonical(random_board(rng, n, height, fill(rng)).stacks);
        Yard const yard = yard_of(board);
        SCOPED_TRACE(compact(yard));
        ASSERT_EQ(yards.value(yard, Within::worst), Moves(compute(board, 0)));
        auto const line = yards.best_line(yard, Within::worst);
        auto const expected = boards.best_line(board);
        ASSERT_TRUE(line.has_value() && expected.has_value());
        ASSERT_EQ(line->size(), expected->size());
        for (std::size_t i = 0; i < line->size(); ++i) {
          auto const& got = (*line)[i];
          auto const& want = (*expected)[i];
          ASSERT_EQ(std::tuple(got.stack, got.slot, got.cost, got.moved, got.placed),
                    std::tuple(want.stack, want.slot, Moves(want.cost), want.moved, want.placed))
              << "step " << i;
          ASSERT_EQ(got.after, yard_of(want.after)) << "step " << i;
        }
      }
    }
  }
}

}  // namespace
