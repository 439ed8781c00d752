// Times the search engine on yards of retrieval groups, each from a fresh engine:
//  - known order (one item a group, the best order): yards of S stacks of t items, capacity
//    t + 2, with S x t distinct priorities drawn at random (seeded, so they stay the same);
//  - random order on the two built-in yards;
//  - worst order on a yard of three groups.
// Counters, as in yards_bench: value (for the random order, its nearest whole number),
// stored (boards in the engine's table) and searched (boards expanded).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "board_io/compact_form.h"
#include "search/engine.h"

namespace {

// S stacks of t items each, capacity t + 2, priorities 1 .. S t shuffled by seed.
Yard known_order_yard(int stacks, int tiers, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<int> priorities(stacks * tiers);
  std::iota(priorities.begin(), priorities.end(), 1);
  std::shuffle(priorities.begin(), priorities.end(), rng);
  Yard yard{stacks, tiers + 2, stacks * tiers,
            std::vector<std::vector<int>>(stacks, std::vector<int>(tiers + 2, 0))};
  for (int s = 0; s < stacks; ++s) {
    for (int j = 0; j < tiers; ++j)
      yard.stacks[s][j] = priorities[s * tiers + j];
  }
  return yard;
}

Yard two_class_yard(std::string const& compact) {
  return yard_of(std::get<State>(parse_compact_board(compact)));
}

void solve(benchmark::State& run, Yard const& yard, Within within) {
  SearchStats stats;
  Moves value;
  for (auto _ : run) {
    Engine engine;
    value = engine.value(yard, within).value_or(Moves::no_placement());
    stats = engine.stats();
  }
  run.counters["value"] = value.approx();
  run.counters["stored"] = static_cast<double>(stats.stored);
  run.counters["searched"] = static_cast<double>(stats.searched);
}

int register_yards() {
  for (auto [stacks, tiers] : {std::pair{5, 4}, {6, 4}, {5, 5}, {6, 5}, {7, 5}, {6, 6}, {7, 6}}) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
      std::string const name = "KnownOrder/" + std::to_string(stacks) + "x" +
                               std::to_string(tiers) + "_" + std::to_string(seed);
      benchmark::RegisterBenchmark(name.c_str(), solve, known_order_yard(stacks, tiers, seed),
                                   Within::best)
          ->Unit(benchmark::kMillisecond);
    }
  }
  benchmark::RegisterBenchmark("Random/interactive_4x7", solve,
                               two_class_yard("1222000/1121000/1122000/1221000"), Within::random)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Random/batch_5x8", solve,
                               two_class_yard("12221000/12120000/11100000/12100000/12200000"),
                               Within::random)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1);
  Yard const three_groups{5,
                          6,
                          3,
                          {{1, 4, 2, 0, 0, 0},
                           {2, 3, 1, 4, 0, 0},
                           {3, 3, 4, 0, 0, 0},
                           {1, 2, 2, 4, 0, 0},
                           {4, 1, 0, 0, 0, 0}}};
  benchmark::RegisterBenchmark("Worst/three_groups_5x6", solve, three_groups, Within::worst)
      ->Unit(benchmark::kMillisecond);
  return 0;
}

int const registered = register_yards();

}  // namespace

BENCHMARK_MAIN();
