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
    case MemoryShortage::budget:
      return memory_budget_message(budget.max_bytes);
    case MemoryShortage::system:
      return out_of_memory_message();
    case MemoryShortage::none:
      return {};
  }
  return {};
}

// The queries of a two-class board, as the driver below asks them.
struct BoardQueries {
  State given;  // in the columns the user gave
  State board;  // canonical
  std::optional<Moves> value(Engine& engine) const {
    auto const v = engine.value(board);
    return v ? std::optional<Moves>(*v) : std::nullopt;
  }
  static void set_value(SolveResult& result, Moves const& value) {
    result.value = value.whole_moves();
  }
  bool requests(Engine& engine, SolveResult& result) const {
    result.requests = engine.request_costs(board);
    if (!result.requests) return false;
    if (result.requests->empty()) return true;
    result.hardest = engine.hardest_request(board);
    return result.hardest.has_value();
  }
  auto line(Engine& engine) const { return engine.best_line(board); }
  auto request_costs(Engine& engine, State const& at) const { return engine.request_costs(at); }
  auto bounds(Engine& engine) const { return engine.bounds(board); }
  auto rule_line(Engine& engine) const { return engine.rule_line(board); }
  static State const& after(LineStep const& step) { return step.after; }
  auto columns(std::vector<LineStep> const& line) const { return column_line(given, line); }
};

// The same for a yard of retrieval groups in one order.
struct YardQueries {
  Yard given;
  Yard board;
  Within within;
  std::optional<Moves> value(Engine& engine) const { return engine.value(board, within); }
  static void set_value(YardResult& result, Moves const& value) { result.value = value; }
  bool requests(Engine& engine, YardResult& result) const {
    result.requests = engine.request_costs(board, within);
    return result.requests.has_value();
  }
  auto line(Engine& engine) const { return engine.best_line(board, within); }
  auto request_costs(Engine& engine, Yard const& at) const {
    return engine.request_costs(at, within);
  }
  auto bounds(Engine& engine) const { return engine.bounds(board, within); }
  auto rule_line(Engine& engine) const { return engine.rule_line(board, within); }
  static Yard const& after(YardStep const& step) { return step.after; }
  auto columns(std::vector<YardStep> const& line) const { return column_line(given, line); }
};

// One solve in a fresh engine: the value, then what the reports want, each query stopped by
// the budget's limits. A solve that a limit stops keeps what it proved: the bounds on the
// value and the rule's line when a line is wanted.
template <class Result, class Queries>
Result drive(Result result, Queries const& queries, SolveWants wants, SolveBudget const& budget,
             std::function<void(SearchStats const&)> progress) {
  auto const start = Clock::now();
  Engine engine(budget.max_bytes, std::move(progress), budget.threads);
  engine.set_limits(
      SearchLimits::within_seconds(budget.time_limit.value_or(INFINITY), budget.interrupt));
  auto const finish = [&] {
    if (result.status == SearchStatus::optimal) result.columns = queries.columns(result.line);
    result.states = engine.stats().stored;
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return result;
  };
  auto const stop = [&] {
    result.status = stop_status(engine);
    result.error = stop_message(engine, budget);
    if (auto known = queries.bounds(engine)) result.bounds = std::move(*known);
    // Bounds that meet are the value, proved: the line is then the rule's, which reaches it.
    if (result.bounds.exact()) {
      result.status = SearchStatus::optimal;
      result.error.clear();
      Queries::set_value(result, result.bounds.lower);
    }
    if (wants.line && result.line.empty()) {
      if (auto line = queries.rule_line(engine)) result.line = std::move(*line);
    }
    return finish();
  };
  std::optional<Moves> const value = queries.value(engine);
  if (!value) return stop();
  Queries::set_value(result, *value);
  result.bounds = {*value, *value};
  if (wants.requests && !queries.requests(engine, result)) return stop();
  if (wants.line) {
    auto line = queries.line(engine);
    if (!line) return stop();
    result.line = std::move(*line);
  }
  if (wants.step_requests) {
    result.step_requests.emplace();
    auto before = queries.board;
    for (auto const& step : result.line) {
      auto costs = queries.request_costs(engine, before);
      if (!costs) return result.step_requests.reset(), stop();
      result.step_requests->push_back(std::move(*costs));
      before = Queries::after(step);
    }
  }
  return finish();
}

}  // namespace

SolveResult solve_board(State board, SolveWants wants, SolveBudget const& budget,
                        std::function<void(SearchStats const&)> progress) {
  board.request = kNoRequest;
  State const given = board;
  board.sort_stacks();
  SolveResult result{board, 0, {}, {}, {}, 0, 0, SearchStatus::optimal, {}, {}, {}, {}, {}};
  result.given = yard_of(given);
  return drive(std::move(result), BoardQueries{given, board}, wants, budget, std::move(progress));
}

YardResult solve_yard(Yard yard, Within within, SolveWants wants, SolveBudget const& budget,
                      std::function<void(SearchStats const&)> progress) {
  Yard const given = yard;
  yard.sort_stacks();
  YardResult result{yard, within, {}, {}, {}, 0, 0, SearchStatus::optimal, {}, {}, {}, {}, {}};
  result.given = given;
  return drive(std::move(result), YardQueries{given, yard, within}, wants, budget,
               std::move(progress));
}
