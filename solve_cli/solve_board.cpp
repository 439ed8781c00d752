#include "solve_cli/solve_board.h"

#include <chrono>
#include <new>
#include <stdexcept>

namespace {

// A query gave no answer: that must be the memory budget, as the engine promises, or memory the
// system refused, which goes on as std::bad_alloc so that the user is not told to raise a budget
// that was never reached.
void expect_out_of_memory(Engine const& engine) {
  if (engine.memory_shortage() == MemoryShortage::system) throw std::bad_alloc();
  if (!engine.out_of_memory()) {
    throw std::logic_error("the search engine gave no answer but is within its memory budget");
  }
}

}  // namespace

std::optional<SolveResult> solve_board(State board, SolveWants wants, std::size_t max_bytes,
                                       std::function<void(SearchStats const&)> progress) {
  auto const start = std::chrono::steady_clock::now();
  board.request = kNoRequest;
  board.sort_stacks();
  Engine engine(max_bytes, std::move(progress));

  SolveResult result{board, 0, {}, {}, {}, 0, 0};
  auto const given_up = [&engine]() -> std::optional<SolveResult> {
    expect_out_of_memory(engine);
    return std::nullopt;
  };
  std::optional<int> value = engine.value(board);
  if (!value) return given_up();
  result.value = *value;
  if (wants.requests) {
    result.requests = engine.request_costs(board);
    if (!result.requests) return given_up();
    if (!result.requests->empty()) {
      result.hardest = engine.hardest_request(board);
      if (!result.hardest) return given_up();
    }
  }
  if (wants.line) {
    auto line = engine.best_line(board);
    if (!line) return given_up();
    result.line = std::move(*line);
  }
  result.states = engine.stats().stored;
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}

std::optional<YardResult> solve_yard(Yard yard, Within within, SolveWants wants,
                                     std::size_t max_bytes,
                                     std::function<void(SearchStats const&)> progress) {
  auto const start = std::chrono::steady_clock::now();
  yard.sort_stacks();
  Engine engine(max_bytes, std::move(progress));

  YardResult result{yard, within, {}, {}, {}, 0, 0};
  auto const given_up = [&engine]() -> std::optional<YardResult> {
    expect_out_of_memory(engine);
    return std::nullopt;
  };
  std::optional<Moves> value = engine.value(yard, within);
  if (!value) return given_up();
  result.value = std::move(*value);
  if (wants.requests) {
    result.requests = engine.request_costs(yard, within);
    if (!result.requests) return given_up();
  }
  if (wants.line) {
    auto line = engine.best_line(yard, within);
    if (!line) return given_up();
    result.line = std::move(*line);
  }
  result.states = engine.stats().stored;
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}
