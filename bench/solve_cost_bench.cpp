// What the library adds to the engine: the yard of stacks_batch (and a tiny board, where the
// engine's own work is next to nothing) solved with its value and line of best play, by the
// engine's queries alone and by stacks::solve, each from a fresh engine. bench/
// solve_overhead.py runs this beside the Python module's stacks.solve on the same boards.
#include <benchmark/benchmark.h>

#include <stacks/stacks.h>

#include <string>
#include <variant>

#include "board_io/compact_form.h"
#include "search/engine.h"

namespace {

// The budget stacks::solve takes by default; the engine's work does not depend on it.
constexpr std::size_t kBudget = std::size_t{1} << 30;

void engine_alone(benchmark::State& run, std::string const& compact) {
  State board = std::get<State>(parse_compact_board(compact));
  board.sort_stacks();
  for (auto _ : run) {
    Engine engine(kBudget);
    benchmark::DoNotOptimize(engine.value(board));
    benchmark::DoNotOptimize(engine.best_line(board));
  }
}

void library(benchmark::State& run, std::string const& compact) {
  stacks::Options options;
  options.max_memory = kBudget;
  for (auto _ : run)
    benchmark::DoNotOptimize(stacks::solve(compact, options));
}

int register_boards() {
  for (auto const& [name, compact] :
       {std::pair<char const*, char const*>{"batch_5x8",
                                            "12221000/12120000/11100000/12100000/12200000"},
        {"tiny_2x2", "12/10"}}) {
    benchmark::RegisterBenchmark((std::string("Engine/") + name).c_str(), engine_alone, compact)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("Library/") + name).c_str(), library, compact)
        ->Unit(benchmark::kMicrosecond);
  }
  return 0;
}

int const registered = register_boards();

}  // namespace

BENCHMARK_MAIN();
