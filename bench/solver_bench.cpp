// Times the exact solver on the two built-in yards, from empty tables each time. The counters
// show how much it searched, so that a change in search behaviour shows at once:
//   boards    entries in memo (and in memo_strat) after the solve
//   children  retrieval results looked up, one per placement tried
#include <benchmark/benchmark.h>

#include <vector>

#include "model/state.h"
#include "solver/compute.h"

namespace {

State canonical(std::vector<std::vector<int>> const& stacks) {
  State board(stacks, kNoRequest);
  board.sort_stacks();
  return board;
}

void solve_exactly(benchmark::State& run, State const& board) {
  for (auto _ : run) {
    clear_tables();
    benchmark::DoNotOptimize(compute(board, 0));
  }
  run.counters["boards"] = static_cast<double>(memo.size());
  run.counters["children"] = static_cast<double>(stats.children);
  run.counters["table_MB"] = static_cast<double>(memo.bytes() + memo_strat.bytes()) / 1e6;
}

void BM_Exact_Builtin4x7(benchmark::State& run) {
  solve_exactly(run, canonical({{1, 2, 2, 2, 0, 0, 0},
                                {1, 1, 2, 1, 0, 0, 0},
                                {1, 1, 2, 2, 0, 0, 0},
                                {1, 2, 2, 1, 0, 0, 0}}));
}

void BM_Exact_Builtin5x8(benchmark::State& run) {
  solve_exactly(run, canonical({{1, 2, 2, 2, 1, 0, 0, 0},
                                {1, 2, 1, 2, 0, 0, 0, 0},
                                {1, 1, 1, 0, 0, 0, 0, 0},
                                {1, 2, 1, 0, 0, 0, 0, 0},
                                {1, 2, 2, 0, 0, 0, 0, 0}}));
}

}  // namespace

BENCHMARK(BM_Exact_Builtin4x7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Exact_Builtin5x8)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
