#include "solve_cli/solve_board.h"

#include <chrono>
#include <cmath>
#include <new>
#include <stdexcept>
#include <type_traits>

#include "search/bounds/sampled_rule_cost.h"
#include "search/grouped_search.h"
#include "solve_cli/diagnostics.h"

namespace {

using Clock = std::chrono::steady_clock;

// The engine's queries on a two-class board, named as for a yard, so that both kinds of board
// go through one driver.
struct BoardQueries {
  Engine& engine;

  std::optional<int> value(State const& board) { return engine.value(board); }
  auto requests(State const& board) { return engine.request_costs(board); }
  auto line(State const& board) { return engine.best_line(board); }
  auto bounds(State const& board) { return engine.bounds(board); }
  auto rule_line(State const& board) { return engine.rule_line(board); }
};

struct YardQueries {
  Engine& engine;
  Within within;

  std::optional<Moves> value(Yard const& yard) { return engine.value(yard, within); }
  auto requests(Yard const& yard) { return engine.request_costs(yard, within); }
  auto line(Yard const& yard) { return engine.best_line(yard, within); }
  auto bounds(Yard const& yard) { return engine.bounds(yard, within); }
  auto rule_line(Yard const& yard) { return engine.rule_line(yard, within); }
  // In the random order with no upper bound known, or only a coarser yard's, the rule's mean
  // estimated from orders drawn.
  void estimate(YardResult& result, Yard const& yard) {
    if (within != Within::random) return;
    if (result.bounds.upper.placed() && !result.bounds.coarse_upper) return;
    result.estimate = sample_rule_cost(dense_yard(yard).board);
  }
};

// A query gave no answer: the engine must say which limit stopped it.
SearchStatus stop_status(Engine const& engine) {
  SearchStatus const status = engine.status();
  if (status == SearchStatus::optimal) {
    throw std::logic_error("the search engine gave no answer but reached no limit");
  }
  return status;
}

std::string stop_message(Engine const& engine, SolveBudget const& budget) {
  switch (engine.memory_shortage()) {
    case MemoryShortage::budget:
      return memory_budget_message(budget.max_bytes, budget.memory_option);
    case MemoryShortage::system:
      return out_of_memory_message(budget.memory_option);
    case MemoryShortage::none:
      return {};
  }
  return {};
}

void set_value(SolveResult& result, Moves const& value) {
  result.value = value.whole_moves();
}
void set_value(YardResult& result, Moves const& value) {
  result.value = value;
}

// The hardest request goes with the requests of a two-class board only.
bool find_hardest(SolveResult& result, Engine& engine, State const& board) {
  if (result.requests->empty()) return true;
  result.hardest = engine.hardest_request(board);
  return result.hardest.has_value();
}
bool find_hardest(YardResult&, Engine&, Yard const&) {
  return true;
}

// Every query the reports want, in turn; false as soon as one is stopped, the answers so far
// kept in `result`.
template <class Result, class Queries, class Board>
bool answer(Result& result, Queries& queries, Board const& board, SolveWants wants) {
  auto const value = queries.value(board);
  if (!value) return false;
  set_value(result, Moves(*value));
  result.bounds = {*value, *value};
  if (wants.requests) {
    result.requests = queries.requests(board);
    if (!result.requests || !find_hardest(result, queries.engine, board)) return false;
  }
  if (wants.line) {
    auto line = queries.line(board);
    if (!line) return false;
    result.line = std::move(*line);
  }
  if (wants.step_requests) {
    result.step_requests.emplace();
    Board before = board;
    for (auto const& step : result.line) {
      auto costs = queries.requests(before);
      if (!costs) return result.step_requests.reset(), false;
      result.step_requests->push_back(std::move(*costs));
      before = step.after;
    }
  }
  return true;
}

// A solve that stopped: how, and the bounds it proved. Bounds that meet are the value; the rest
// of what is wanted is then worked out past the deadline (an interrupt or the memory still
// stop it), so that an optimal result is whole: its line the line of best play, not the
// rule's. Otherwise the line is the one the engine gives for a stopped search.
template <class Result, class Queries, class Board>
void stopped(Result& result, Queries& queries, Board const& board, SolveWants wants,
             SolveBudget const& budget) {
  Engine& engine = queries.engine;
  result.status = stop_status(engine);
  result.error = stop_message(engine, budget);
  if (auto known = queries.bounds(board)) result.bounds = std::move(*known);
  if (result.bounds.exact()) {
    if (!wants.line && !wants.requests && !wants.step_requests) {
      result.status = SearchStatus::optimal;
      result.error.clear();
      set_value(result, result.bounds.lower);
      return;
    }
    engine.set_limits(SearchLimits::within_seconds(INFINITY, budget.interrupt));
    Result whole = result;
    if (answer(whole, queries, board, wants)) {
      result = std::move(whole);
      result.status = SearchStatus::optimal;
      result.error.clear();
      return;
    }
    result.status = stop_status(engine);
    result.error = stop_message(engine, budget);
  }
  if constexpr (std::is_same_v<Queries, YardQueries>) queries.estimate(result, board);
  result.requests.reset();
  result.step_requests.reset();
  result.line.clear();
  if (wants.line) {
    if (auto line = queries.rule_line(board)) result.line = std::move(*line);
  }
}

Yard as_yard(State const& board) {
  return yard_of(board);
}
Yard const& as_yard(Yard const& yard) {
  return yard;
}

// Solves `board` (canonical) with `queries` into `result`; `given` is the board as given.
template <class Result, class Queries, class Board>
Result solve_with(Result result, Queries queries, Board const& board, Board const& given,
                  SolveWants wants, SolveBudget const& budget, Clock::time_point start) {
  result.requests_wanted = wants.requests;
  if (!answer(result, queries, board, wants)) stopped(result, queries, board, wants, budget);
  result.given = as_yard(given);
  result.columns = column_line(given, result.line);
  result.states = queries.engine.stats().stored;
  result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return result;
}

void set_budget(Engine& engine, SolveBudget const& budget) {
  engine.set_limits(
      SearchLimits::within_seconds(budget.time_limit.value_or(INFINITY), budget.interrupt));
}

}  // namespace

SolveResult solve_board(State board, SolveWants wants, SolveBudget const& budget,
                        std::function<void(SearchStats const&)> progress) {
  auto const start = Clock::now();
  board.request = kNoRequest;
  State const given = board;
  board.sort_stacks();
  Engine engine(budget.max_bytes, std::move(progress), budget.threads);
  set_budget(engine, budget);
  SolveResult result{board, 0, {}, {}, {}, 0, 0, SearchStatus::optimal, {}, {}, {}, {}, {}};
  return solve_with(std::move(result), BoardQueries{engine}, board, given, wants, budget, start);
}

YardResult solve_yard(Yard yard, Within within, SolveWants wants, SolveBudget const& budget,
                      std::function<void(SearchStats const&)> progress) {
  auto const start = Clock::now();
  Yard const given = yard;
  yard.sort_stacks();
  Engine engine(budget.max_bytes, std::move(progress), budget.threads);
  set_budget(engine, budget);
  YardResult result{yard, within, {}, {}, {}, 0,     0, SearchStatus::optimal,
                    {},   {},     {}, {}, {}, false, {}};
  return solve_with(std::move(result), YardQueries{engine, within}, yard, given, wants, budget,
                    start);
}
