// Times the search engine on the two built-in yards and on a fixed set of bigger yards, each
// from a fresh engine, and the exact solver beside it on the yards it can finish. The counters
// show how much each searched, so that a change in search behaviour shows at once:
//   stored    boards in the engine's table (the exact solver: entries in memo)
//   searched  boards the engine expanded (the exact solver: retrieval results looked up)
#include <benchmark/benchmark.h>

#include <string>
#include <variant>
#include <vector>

#include "board_io/compact_form.h"
#include "search/engine.h"
#include "solver/compute.h"

namespace {

struct Yard {
  std::string name;
  std::string compact;
  bool exact_too;  // small enough for the exact solver's tables
};

// The built-in yards, then random yards of 6 stacks of 8 slots with 24 items, 12 of them
// targets (seeded, so they stay the same), then harder ones.
std::vector<Yard> const kYards = {
    {"batch_5x8", "12221000/12120000/11100000/12100000/12200000", true},
    {"interactive_4x7", "1222000/1121000/1122000/1221000", true},
    {"6x8_24_a", "21212000/11221000/21200000/11100000/21000000/21122200", false},
    {"6x8_24_b", "21122100/22110000/21200000/21211000/21120000/12000000", false},
    {"6x8_24_c", "12112000/20000000/11100000/12220000/21210000/22112120", false},
    {"6x8_24_d", "21220000/12210000/11220000/12120000/12211000/11200000", false},
    {"6x8_24_e", "11221112/10000000/11221000/22112000/22200000/12000000", false},
    {"6x8_24_f", "21200000/11000000/21211200/12122200/12200000/11120000", false},
    {"6x8_24_g", "11221100/00000000/22222000/22121200/11100000/12110000", false},
    {"6x8_24_h", "22111000/11000000/12212110/22212000/12000000/12200000", false},
    {"6x8_24_i", "12200000/12212200/22211100/21111200/10000000/12000000", false},
    {"6x8_24_j", "10000000/22121200/22222110/12111000/11000000/12200000", false},
};

State board_of(std::string const& compact) {
  State board = std::get<State>(parse_compact_board(compact));
  board.sort_stacks();
  return board;
}

void search_engine(benchmark::State& run, std::string const& compact) {
  State const board = board_of(compact);
  SearchStats stats;
  int value = 0;
  for (auto _ : run) {
    Engine engine;
    value = engine.value(board).value_or(-1);
    stats = engine.stats();
  }
  run.counters["value"] = value;
  run.counters["stored"] = static_cast<double>(stats.stored);
  run.counters["searched"] = static_cast<double>(stats.searched);
}

void exact_solver(benchmark::State& run, std::string const& compact) {
  State const board = board_of(compact);
  int value = 0;
  for (auto _ : run) {
    clear_tables();
    value = compute(board, 0);
  }
  run.counters["value"] = value;
  run.counters["stored"] = static_cast<double>(memo.size());
  run.counters["searched"] = static_cast<double>(stats.children);
}

int register_yards() {
  for (Yard const& yard : kYards) {
    benchmark::RegisterBenchmark(("Engine/" + yard.name).c_str(), search_engine, yard.compact)
        ->Unit(benchmark::kMillisecond);
    if (yard.exact_too) {
      benchmark::RegisterBenchmark(("Exact/" + yard.name).c_str(), exact_solver, yard.compact)
          ->Unit(benchmark::kMillisecond)
          ->Iterations(1);
    }
  }
  return 0;
}

int const registered = register_yards();

}  // namespace

BENCHMARK_MAIN();
