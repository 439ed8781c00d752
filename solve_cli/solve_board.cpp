#include "solve_cli/solve_board.h"

#include <chrono>
#include <cmath>
#include <new>
#include <stdexcept>

#include "solve_cli/diagnostics.h"

namespace {

using Clock = std::chrono::steady_clock;

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
    case MemoryShortage::budget: return memory_budget_message(budget.max_bytes);
    case MemoryShortage::system: return out_of_memory_message();
    case MemoryShortage::none: return {};
  }
  return {};
}

void set_value(SolveResult& result, Moves const& value) {
  result.value = value.whole_moves();
}
void set_value(YardResult& result, Moves const& value) {
  result.value = value;
}

// What a solve that stopped still knows: the bounds on the value, and the rule's line when
// a line is wanted.
template <class Result, class Board, class Bounds, class Line>
void stopped(Result& result, Engine& engine, SolveBudget const& budget, Board const& board,
             SolveWants wants, Bounds const& bounds, Line const& rule_line) {
  result.status = stop_status(engine);
  result.error = stop_message(engine, budget);
  if (auto known = bounds(board)) result.bounds = std::move(*known);
  // Bounds that meet are the value, proved: the line is then the rule's, which reaches it.
  if (result.bounds.exact()) {
    result.status = SearchStatus::optimal;
    result.error.clear();
    set_value(result, result.bounds.lower);
  }
  if (wants.line && result.line.empty()) {
    if (auto line = rule_line(board)) result.line = std::move(*line);
  }
}

}  // namespace

SolveResult solve_board(State board, SolveWants wants, SolveBudget const& budget,
                        std::function<void(SearchStats const&)> progress) {
  auto const start = Clock::now();
  board.request = kNoRequest;
  State const given = board;
  board.sort_stacks();
  Engine engine(budget.max_bytes, std::move(progress), budget.threads);
  engine.set_limits(SearchLimits::within_seconds(budget.time_limit.value_or(INFINITY),
                                                 budget.interrupt));

  SolveResult result{board, 0, {}, {}, {}, 0, 0, SearchStatus::optimal, {}, {}, {}, {}, {}};
  auto const finish = [&] {
    result.given = yard_of(given);
    if (result.status == SearchStatus::optimal) result.columns = column_line(given, result.line);
    result.states = engine.stats().stored;
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return result;
  };
  auto const stop = [&] {
    stopped(
        result, engine, budget, board, wants, [&](State const& b) { return engine.bounds(b); },
        [&](State const& b) { return engine.rule_line(b); });
    return finish();
  };
  std::optional<int> value = engine.value(board);
  if (!value) return stop();
  result.value = *value;
  result.bounds = {*value, *value};
  if (wants.requests) {
    result.requests = engine.request_costs(board);
    if (!result.requests) return stop();
    if (!result.requests->empty()) {
      result.hardest = engine.hardest_request(board);
      if (!result.hardest) return stop();
    }
  }
  if (wants.line) {
    auto line = engine.best_line(board);
    if (!line) return stop();
    result.line = std::move(*line);
  }
  if (wants.step_requests) {
    result.step_requests.emplace();
    State before = board;
    for (LineStep const& step : result.line) {
      auto costs = engine.request_costs(before);
      if (!costs) return result.step_requests.reset(), stop();
      result.step_requests->push_back(std::move(*costs));
      before = step.after;
    }
  }
  return finish();
}

YardResult solve_yard(Yard yard, Within within, SolveWants wants, SolveBudget const& budget,
                      std::function<void(SearchStats const&)> progress) {
  auto const start = Clock::now();
  Yard const given = yard;
  yard.sort_stacks();
  Engine engine(budget.max_bytes, std::move(progress), budget.threads);
  engine.set_limits(SearchLimits::within_seconds(budget.time_limit.value_or(INFINITY),
                                                 budget.interrupt));

  YardResult result{yard, within, {}, {}, {}, 0, 0, SearchStatus::optimal, {}, {}, {}, {}, {}};
  auto const finish = [&] {
    result.given = given;
    if (result.status == SearchStatus::optimal) result.columns = column_line(given, result.line);
    result.states = engine.stats().stored;
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return result;
  };
  auto const stop = [&] {
    stopped(
        result, engine, budget, yard, wants,
        [&](Yard const& y) { return engine.bounds(y, within); },
        [&](Yard const& y) { return engine.rule_line(y, within); });
    return finish();
  };
  std::optional<Moves> value = engine.value(yard, within);
  if (!value) return stop();
  result.value = *value;
  result.bounds = {*value, *value};
  if (wants.requests) {
    result.requests = engine.request_costs(yard, within);
    if (!result.requests) return stop();
  }
  if (wants.line) {
    auto line = engine.best_line(yard, within);
    if (!line) return stop();
    result.line = std::move(*line);
  }
  if (wants.step_requests) {
    result.step_requests.emplace();
    Yard before = yard;
    for (YardStep const& step : result.line) {
      auto costs = engine.request_costs(before, within);
      if (!costs) return result.step_requests.reset(), stop();
      result.step_requests->push_back(std::move(*costs));
      before = step.after;
    }
  }
  return finish();
}
