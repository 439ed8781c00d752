// The library's solve: the input checked as stacks_solve checks it, then the same engine queries
// as the command line (solve_cli/solve_board.h), the answers turned into the public types.
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

#include "api/public_yard.h"
#include "board_io/board_cells.h"
#include "board_io/compact_form.h"
#include "board_io/instance_form.h"
#include "solve_cli/memory_size.h"
#include "solve_cli/solve_board.h"
#include "stacks/stacks.h"

namespace stacks {
namespace {

stacks::Moves public_moves(::Moves const& moves) {
  if (!moves.placed()) return {false, "", 0};
  return {true, moves.fraction_text(), moves.approx()};
}

// As stacks_solve --threads takes them.
constexpr int kMaxThreads = 1024;

SolveBudget checked_budget(Options const& options) {
  if (options.threads < 1 || options.threads > kMaxThreads) {
    throw std::invalid_argument("threads: " + std::to_string(options.threads) +
                                " is not a number of threads from 1 to " +
                                std::to_string(kMaxThreads));
  }
  if (options.time_limit && !(*options.time_limit > 0)) {
    throw std::invalid_argument("time_limit: " + std::to_string(*options.time_limit) +
                                " is not a number of seconds above 0");
  }
  return {options.max_memory.value_or(default_memory_budget()), options.time_limit,
          options.interrupt, options.threads, "max_memory"};
}

Status public_status(SearchStatus status) {
  switch (status) {
    case SearchStatus::time_limit:
      return Status::time_limit;
    case SearchStatus::memory_limit:
      return Status::memory_limit;
    case SearchStatus::interrupted:
      return Status::interrupted;
    case SearchStatus::optimal:
      break;
  }
  return Status::optimal;
}

// An upper bound of "no placement" is no bound, unless the value is no placement.
template <class Solved>
void set_outcome(Result& result, Solved const& solved) {
  result.status = public_status(solved.status);
  result.error = solved.error;
  result.states = solved.states;
  result.seconds = solved.seconds;
  result.lower = public_moves(solved.bounds.lower);
  if (solved.bounds.upper.placed() || solved.bounds.exact()) {
    result.upper = public_moves(solved.bounds.upper);
  }
  if (result.status == Status::optimal) result.value = public_moves(::Moves(solved.value));
  if (auto const gap = value_gap(solved.status, solved.bounds)) {
    result.gap = static_cast<double>(*gap);
  }
}

// A step of best play has its cost; a step of a stopped search's line only bounds on it.
template <class EngineStep>
Step public_step(EngineStep const& step, int group, std::string after, ColumnStep const& columns) {
  Step out{step.stack,
           step.slot,
           group,
           {},
           {},
           {},
           step.moved,
           step.placed,
           std::move(after),
           {columns.column, columns.slot},
           {}};
  for (ColumnMove const& move : columns.moves)
    out.moves.push_back({move.from, move.to});
  ::Moves const cost(step.cost);
  out.upper = public_moves(cost);
  if (step.lower) {
    out.lower = public_moves(::Moves(*step.lower));
  } else {
    out.cost = out.lower = out.upper;
  }
  return out;
}

Result solve_two_class(State board, Options const& options) {
  SolveBudget const budget = checked_budget(options);
  Result result;
  result.within = Within::worst;
  SolveResult const solved =
      solve_board(board, SolveWants{options.line, options.requests}, budget, nullptr);
  result.board = format_compact_board(solved.board);
  set_outcome(result, solved);
  for (std::size_t i = 0; i < solved.line.size(); ++i) {
    LineStep const& step = solved.line[i];
    result.line.push_back(public_step(step, 1, step.placed ? format_compact_board(step.after) : "",
                                      solved.columns.at(i)));
  }
  if (solved.requests) {
    result.requests.emplace();
    for (RequestCost const& request : *solved.requests) {
      result.requests->push_back({request.stack, request.slot, 1, public_moves(request.cost)});
    }
  }
  return result;
}

Result solve_groups(::Yard yard, Options const& options) {
  SolveBudget const budget = checked_budget(options);
  Result result;
  result.within = options.within;
  YardResult const solved = solve_yard(yard, engine_within(options.within),
                                       SolveWants{options.line, options.requests}, budget, nullptr);
  result.board = format_yard(solved.yard);
  set_outcome(result, solved);
  if (solved.estimate) {
    SampledCost const& e = *solved.estimate;
    result.estimate = Estimate{e.mean, e.mean - e.half_width, e.mean + e.half_width, e.orders};
  }
  ::Yard const* before = &solved.yard;
  for (std::size_t i = 0; i < solved.line.size(); ++i) {
    YardStep const& step = solved.line[i];
    int const group = before->stacks[step.stack][step.slot];
    result.line.push_back(
        public_step(step, group, step.placed ? format_yard(step.after) : "", solved.columns.at(i)));
    before = &step.after;
  }
  if (solved.requests) {
    result.requests.emplace();
    for (YardRequestCost const& request : *solved.requests) {
      int const group = solved.yard.stacks[request.stack][request.slot];
      result.requests->push_back({request.stack, request.slot, group, public_moves(request.cost)});
    }
  }
  return result;
}

Result solve_board_of(ParsedBoard parsed, Options const& options) {
  if (auto const* error = std::get_if<BoardError>(&parsed)) {
    throw std::invalid_argument(error->to_string());
  }
  State& board = std::get<State>(parsed);
  if (options.within == Within::worst) return solve_two_class(std::move(board), options);
  return solve_groups(yard_of(board), options);
}

}  // namespace

Result solve(std::string_view compact, Options const& options) {
  return solve_board_of(parse_compact_board(compact), options);
}

Result solve(std::vector<std::vector<int>> const& cells, Options const& options) {
  for (std::size_t i = 1; i < cells.size(); ++i) {
    if (cells[i].size() != cells.front().size()) {
      throw std::invalid_argument("stack " + std::to_string(i) + " has " +
                                  std::to_string(cells[i].size()) + " slots, stack 0 has " +
                                  std::to_string(cells.front().size()));
    }
  }
  return solve_board_of(board_from_cells(cells), options);
}

Result solve(Yard const& yard, Options const& options) {
  return solve_groups(engine_yard(yard), options);
}

}  // namespace stacks
